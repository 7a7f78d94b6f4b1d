#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class QWidget;

namespace platform::ole {

class Storage;

// Draw aspects.
enum Aspect : std::uint32_t { Content = 1, Thumbnail = 2, Icon = 4, DocPrint = 8 };

// Verbs every object understands besides its own.
enum StandardVerb : int { Primary = 0, Show = -1, Open = -2, Hide = -3 };

struct Verb {
    int id = 0;
    QString name;           // as shown in a menu, with '&' before the access key
    unsigned menuFlags = 0; // 0: an enabled, unchecked item
    unsigned attributes = 0;

    enum Attribute : unsigned { NeverDirties = 1, OnContainerMenu = 2 };
};

// What the object tells its container. All calls come on the user-interface thread.
class ClientSite {
public:
    virtual ~ClientSite() = default;
    // The object's picture for `aspect` changed: repaint.
    virtual void onViewChange(std::uint32_t aspect) = 0;
    // The object's data changed (no data is sent along).
    virtual void onDataChange() = 0;
    // The object's server opened (true) or closed (false) a window of its own for it.
    virtual void onShowWindow(bool open) = 0;
    // A failure the server met after a verb had returned (for instance the sound output going
    // away while playing): the container reports it like any other.
    virtual void onError(std::uint32_t code, const QString& detail) = 0;
};

// An embedded object, as its container sees it. Failures throw OleError.
class OleObject {
public:
    enum class SaveOption { SaveIfDirty, NoSave, PromptSave };

    virtual ~OleObject() = default;

    // Notices: view changes of one aspect (nullptr drops them), and data changes without data.
    virtual void setViewAdvise(std::uint32_t aspect, ClientSite* site) = 0;
    virtual std::uint32_t dataAdvise(ClientSite& site) = 0; // returns the connection
    virtual void dataUnadvise(std::uint32_t connection) = 0;

    // The names the server shows for the container's program and for the object in it.
    virtual void setHostNames(const std::u16string& application, const std::u16string& object) = 0;
    virtual void setContainedObject(bool contained) = 0;

    // The object's size for `aspect`, in units of 0.01 mm.
    virtual QSize extent(std::uint32_t aspect) const = 0;
    // Draws the object's picture for `aspect` over `bounds` (device pixels of `painter`).
    virtual void draw(QPainter& painter, const QRect& bounds, std::uint32_t aspect) const = 0;

    // The object's verbs, in its own order.
    virtual std::vector<Verb> verbs() const = 0;
    // Runs `verb`; `parent` is the window of the container, `rect` the container's rectangle in
    // it.
    virtual void doVerb(int verb, ClientSite& site, QWidget* parent, const QRect& rect) = 0;

    // Ends whatever the server shows or plays for the object.
    virtual void close(SaveOption option) = 0;
};

// Builds the object kept in `storage`, with `site` as its container's site. The storage must
// outlive the object. Throws OleError when the storage does not hold an object this layer can
// serve, or when one of its streams is damaged.
std::unique_ptr<OleObject> loadObject(Storage& storage, ClientSite& site);

} // namespace platform::ole
