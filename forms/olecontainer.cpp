#include "forms/olecontainer.h"

#include "formats/compound/storedvalue.h"
#include "forms/application.h"
#include "forms/dispatch.h"
#include "forms/edge.h"
#include "forms/exception.h"
#include "forms/form.h"
#include "forms/messages.h"
#include "forms/popupmenus.h"
#include "forms/surface.h"
#include "platform/ole/objectlayer.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/olesession.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QPainter>


namespace forms {

using platform::ole::OleError;
using platform::ole::OleObject;

namespace {

Exception oleFailure(std::uint32_t code, const QString& detail)
{
    if (!detail.isEmpty())
        return Exception(detail);
    return Exception(QString::asprintf(messages::OleError, unsigned(code)));
}

Exception oleFailure(const OleError& e)
{
    return oleFailure(e.code(), QString::fromUtf8(e.what()));
}

// Host names travel in buffers of 128 wide characters: a longer name does not fit and goes
// as an empty one.
std::u16string hostName(const QString& text)
{
    if (text.size() > 127)
        return {};
    return text.toStdU16String();
}

// The shading of an object that is open in its server's window: an 8 x 8 pattern of diagonal
// lines, set bits drawn over whatever lies beneath.
const QBitmap& hatchPattern()
{
    static const QBitmap pattern = [] {
        static const uchar rows[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
        // QBitmap::fromData takes the least significant bit as the leftmost pixel.
        uchar lsbFirst[8];
        for (int i = 0; i < 8; ++i) {
            uchar r = 0;
            for (int b = 0; b < 8; ++b)
                if (rows[i] & (0x80 >> b))
                    r |= uchar(1 << b);
            lsbFirst[i] = r;
        }
        return QBitmap::fromData(QSize(8, 8), lsbFirst, QImage::Format_MonoLSB);
    }();
    return pattern;
}

// The platform's focus rectangle: every other pixel of the outline, inverted, so it shows on
// any picture.
void drawFocusRect(QPainter& painter, const QRect& r)
{
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    const QColor white(Qt::white);
    for (int x = r.left(); x <= r.right(); x += 2) {
        painter.fillRect(QRect(x, r.top(), 1, 1), white);
        painter.fillRect(QRect(x, r.bottom(), 1, 1), white);
    }
    for (int y = r.top() + 2; y < r.bottom(); y += 2) {
        painter.fillRect(QRect(r.left(), y, 1, 1), white);
        painter.fillRect(QRect(r.right(), y, 1, 1), white);
    }
    painter.restore();
}

} // namespace

TOleContainer::TOleContainer(TComponent* owner)
    : TWinControl(owner)
    , surface_(new Surface(this))
{
    setWidget(surface_);
    setTabStop(true);
    setColor(colors::clWindow);
}

TOleContainer::~TOleContainer()
{
    unload();
}

void TOleContainer::setBorderStyle(BorderStyle style)
{
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    update();
}

void TOleContainer::loadFromData(std::span<const std::uint8_t> data)
{
    unload();
    const auto stored = formats::compound::readStoredValue(data);
    if (const auto* fault = std::get_if<formats::compound::StoredValueFault>(&stored))
        throw Exception(QString::fromUtf8(*fault == formats::compound::StoredValueFault::Short
                                              ? messages::StreamReadFailed
                                              : messages::InvalidStreamFormat));
    const auto& value = std::get<formats::compound::StoredValue>(stored);

    // The object's storage lives in memory of the container's own, not in the bytes it came
    // from: those may be a definition that goes away once it has been read.
    memory_ = MappedBuffer::copyOf(value.document);
    aspect_ = value.aspect;
    try {
        auto& layer = platform::ole::ObjectLayer::current();
        storage_ = layer.openStorage(memory_.bytes());
        object_ = layer.loadObject(*storage_, *this);
        object_->setViewAdvise(aspect_, this);
        object_->setHostNames(hostName(Application ? Application->title() : QString()),
                              hostName(caption()));
        object_->setContainedObject(true);
        dataConnection_ = object_->dataAdvise(*this);
        extent_ = object_->extent(aspect_);
    } catch (const OleError& e) {
        unload();
        throw oleFailure(e);
    } catch (...) {
        unload();
        throw;
    }
    update();
}

void TOleContainer::unload()
{
    if (object_) {
        // Each step is tried even when one before it failed: the object goes in any case.
        auto attempt = [](auto step) {
            try {
                step();
            } catch (const OleError&) {
            }
        };
        attempt([&] { object_->setViewAdvise(aspect_, nullptr); });
        attempt([&] { object_->dataUnadvise(dataConnection_); });
        attempt([&] { object_->close(OleObject::SaveOption::NoSave); });
    }
    object_.reset();
    storage_.reset();
    memory_ = MappedBuffer();
    menuVerbs_.reset();
    dataConnection_ = 0;
    extent_ = QSize();
    open_ = false;
}

int TOleContainer::extentToPixels(int extent, int pixelsPerInch)
{
    // 2540 units of 0.01 mm to the inch.
    const std::int64_t scaled = std::int64_t(extent) * pixelsPerInch;
    return int(scaled >= 0 ? (scaled + 1270) / 2540 : (scaled - 1270) / 2540);
}

QSize TOleContainer::pictureSize() const
{
    if (!object_)
        return {};
    const auto* session = platform::ole::OleSession::current();
    const int ppiX = session ? session->pixelsPerInchX() : 96;
    const int ppiY = session ? session->pixelsPerInchY() : 96;
    return {extentToPixels(extent_.width(), ppiX), extentToPixels(extent_.height(), ppiY)};
}

void TOleContainer::doVerb(int verb)
{
    if (!object_)
        return;
    TWinControl* window = this;
    while (window->parent())
        window = window->parent();
    try {
        object_->doVerb(verb, *this, window->widget(), boundsRect());
    } catch (const OleError& e) {
        throw oleFailure(e);
    }
}

const std::vector<platform::ole::Verb>& TOleContainer::menuVerbs()
{
    if (!menuVerbs_) {
        std::vector<platform::ole::Verb> taken;
        if (object_) {
            try {
                for (const auto& verb : object_->verbs()) {
                    if (verb.id < 0 || !(verb.attributes & platform::ole::Verb::OnContainerMenu))
                        break;
                    taken.push_back(verb);
                }
            } catch (const OleError& e) {
                throw oleFailure(e);
            }
        }
        menuVerbs_ = std::move(taken);
    }
    return *menuVerbs_;
}

QRect TOleContainer::clientRect() const
{
    const int e = edgeWidth();
    return QRect(QPoint(0, 0), boundsRect().size()).adjusted(e, e, -e, -e);
}

void TOleContainer::paint(QPainter& painter, const QRegion& dirty)
{
    const QRect client = clientRect();
    for (const QRect& r : dirty)
        painter.fillRect(r.intersected(client), toQColor(color()));
    if (object_) {
        painter.save();
        painter.setClipRect(client);
        try {
            object_->draw(painter, QRect(client.topLeft(), pictureSize()), aspect_);
        } catch (const OleError&) {
            // A picture that cannot be drawn leaves the window colour; painting goes on.
        }
        painter.restore();
        if (open_) {
            painter.save();
            painter.setBrushOrigin(0, 0);
            painter.fillRect(client, QBrush(Qt::black, hatchPattern()));
            painter.restore();
        }
    }
    if (focused())
        drawFocusRect(painter, client);
    if (borderStyle_ == BorderStyle::Single) {
        // The sunken client edge: a shadow ring outside a dark ring.
        QRect r(QPoint(0, 0), boundsRect().size());
        drawEdge(painter, r, toQColor(colors::clBtnShadow), toQColor(colors::clBtnHighlight), 1);
        drawEdge(painter, r, QColor(Qt::black), toQColor(colors::clBtnFace), 1);
    }
}

void TOleContainer::mouseDown(Qt::MouseButton button, TShiftState, const QPoint&)
{
    if (button == Qt::LeftButton)
        setFocus();
}

void TOleContainer::mouseUp(Qt::MouseButton button, TShiftState, const QPoint& pos)
{
    if (button == Qt::RightButton)
        dispatch([&] { popupVerbMenu(pos); });
}

void TOleContainer::doubleClick()
{
    dispatch([&] { doVerb(platform::ole::Primary); });
}

void TOleContainer::focusChanged()
{
    update();
}

bool TOleContainer::keyDefault(const QKeyEvent& event)
{
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    const int verb = event.modifiers() & Qt::ControlModifier ? int(platform::ole::Show)
                                                             : int(platform::ole::Primary);
    dispatch([&] { doVerb(verb); });
    return true;
}

void TOleContainer::popupVerbMenu(const QPoint& pos)
{
    const auto& verbs = menuVerbs();
    if (verbs.empty() || !Application)
        return;
    std::vector<QString> items;
    items.reserve(verbs.size());
    for (const auto& verb : verbs)
        items.push_back(verb.name);
    const int chosen = Application->popupMenus().popup(items, surface_->mapToGlobal(pos), surface_);
    // The menu ran its own loop: the object may have gone meanwhile.
    if (chosen >= 0 && object_ && std::size_t(chosen) < verbs.size())
        doVerb(verbs[std::size_t(chosen)].id);
}

void TOleContainer::update()
{
    surface_->update();
}

void TOleContainer::onViewChange(std::uint32_t)
{
    update();
}

void TOleContainer::onDataChange() {}

void TOleContainer::onShowWindow(bool open)
{
    open_ = open;
    update();
}

void TOleContainer::onError(std::uint32_t code, const QString& detail)
{
    dispatch([&] { throw oleFailure(code, detail); });
}

} // namespace forms
