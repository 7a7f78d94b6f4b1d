#pragma once

#include "forms/mappedbuffer.h"
#include "forms/wincontrol.h"
#include "platform/ole/oleobject.h"

#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace platform::ole {
class Storage;
}

namespace forms {

class Surface;

// A site for an embedded object: a focusable window with a sunken edge that shows the object's
// picture at its own size at the top-left, in the window colour everywhere else. A double-click
// or Enter runs the object's primary verb, Ctrl+Enter its show verb, and the right button pops
// up a menu of its verbs. Whatever the object's server changes is never written back.
class TOleContainer : public TWinControl, private platform::ole::ClientSite {
public:
    enum class BorderStyle { None, Single };

    explicit TOleContainer(TComponent* owner);
    ~TOleContainer() override;

    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);

    // Loads the object stored in `data`: a 12-byte header (the signature "BDOC", the draw
    // aspect, the size of what follows) and the object's storage as a compound document, which
    // is copied into memory of the container's own. An object loaded before is unloaded first.
    // Throws Exception: "Stream-Read-Fehler " for a value shorter than its header says,
    // "Ungültiges Stream-Format" for another signature, and the object-linking layer's words
    // (or "OLE-Fehler %.8x") when the storage or the object cannot be loaded.
    void loadFromData(std::span<const std::uint8_t> data);
    // Drops the notices, closes the object without saving and releases it, its storage and the
    // memory. Nothing happens without an object.
    void unload();

    bool hasObject() const { return object_ != nullptr; }
    std::uint32_t drawAspect() const { return aspect_; }
    // Whether the object's server shows it in a window of its own (the picture is shaded then).
    bool objectOpen() const { return open_; }
    // The object's picture in pixels: its extent at the screen's pixels per inch.
    QSize pictureSize() const;

    // Runs one of the object's verbs, with the window as parent and the container's rectangle.
    // Throws Exception when the object's layer fails; nothing happens without an object.
    void doVerb(int verb);
    // The verbs the menu offers: the object's verbs in its order, as long as they are not
    // negative and are meant for the container's menu. Asked of the object once.
    const std::vector<platform::ole::Verb>& menuVerbs();

    // Converts an extent in 0.01 mm to pixels at `pixelsPerInch`, rounding to the nearest.
    static int extentToPixels(int extent, int pixelsPerInch);

    // Inside the sunken edge.
    QRect clientRect() const override;

    void paint(QPainter& painter, const QRegion& dirty) override;
    void mouseDown(Qt::MouseButton button, TShiftState shift, const QPoint& pos) override;
    void mouseUp(Qt::MouseButton button, TShiftState shift, const QPoint& pos) override;
    void doubleClick() override;
    void focusChanged() override;
    bool keyDefault(const QKeyEvent& event) override;

private:
    void onViewChange(std::uint32_t aspect) override;
    void onDataChange() override;
    void onShowWindow(bool open) override;
    void onError(std::uint32_t code, const QString& detail) override;

    int edgeWidth() const { return borderStyle_ == BorderStyle::Single ? 2 : 0; }
    void popupVerbMenu(const QPoint& pos);
    void update();

    Surface* surface_;
    BorderStyle borderStyle_ = BorderStyle::Single;

    // Released in the reverse order of their making: the object, its storage, the memory.
    MappedBuffer memory_;
    std::unique_ptr<platform::ole::Storage> storage_;
    std::unique_ptr<platform::ole::OleObject> object_;
    std::uint32_t aspect_ = platform::ole::Content;
    std::uint32_t dataConnection_ = 0;
    QSize extent_;
    bool open_ = false;
    std::optional<std::vector<platform::ole::Verb>> menuVerbs_;
};

} // namespace forms
