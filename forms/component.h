#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace forms {

// Base of everything an event can be sent from.
class TObject {
public:
    virtual ~TObject() = default;
};

// A named part of a window. The owner destroys what it owns, the last created first, so a
// control is always gone before the container it lies on.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }

    TComponent* owner() const { return owner_; }
    const std::vector<TComponent*>& components() const { return components_; }
    TComponent* findComponent(const QString& name) const;

    // Called once the whole window has been read and every reference resolved.
    virtual void loaded() {}
    bool isLoading() const { return loading_; }
    void setLoading(bool loading) { loading_ = loading; }

protected:
    void destroyComponents();

private:
    void insert(TComponent* component);
    void remove(TComponent* component);

    TComponent* owner_;
    QString name_;
    std::vector<TComponent*> components_;
    bool loading_ = false;
};

} // namespace forms
