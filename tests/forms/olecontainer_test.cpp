#include "forms/definition/formclass.h"
#include "forms/exception.h"
#include "forms/olecontainer.h"
#include "platform/ole/objectlayer.h"
#include "platform/ole/oleerror.h"
#include "testapplication.h"
#include "testform.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace forms;
namespace ole = platform::ole;

namespace {

using Log = std::vector<std::string>;

// A storage that records when it goes, and checks that it was handed the stored document.
class FakeStorage final : public ole::Storage {
public:
    FakeStorage(Log& log, std::span<const std::uint8_t> document)
        : log_(log)
        , document(document.begin(), document.end())
        , where(document.data())
    {}
    ~FakeStorage() override { log_.push_back("release storage"); }
    formats::compound::ClassId classId() const override { return {}; }
    std::span<const std::uint8_t> stream(std::u16string_view) override { return {}; }

    Log& log_;
    std::vector<std::uint8_t> document;
    const std::uint8_t* where;
};

// An object that records every call its container makes, draws itself as a red square, and
// opens "its window" on verb 1.
class FakeObject final : public ole::OleObject {
public:
    explicit FakeObject(Log& log)
        : log_(log)
    {}
    ~FakeObject() override { log_.push_back("release object"); }

    void setViewAdvise(std::uint32_t aspect, ole::ClientSite* site) override
    {
        log_.push_back("view advise " + std::to_string(aspect) + (site ? " on" : " off"));
    }
    std::uint32_t dataAdvise(ole::ClientSite&) override
    {
        log_.push_back("data advise");
        return 7;
    }
    void dataUnadvise(std::uint32_t connection) override
    {
        log_.push_back("data unadvise " + std::to_string(connection));
    }
    void setHostNames(const std::u16string& application, const std::u16string& object) override
    {
        log_.push_back("host names '" + QString::fromStdU16String(application).toStdString() +
                       "' '" + QString::fromStdU16String(object).toStdString() + "'");
    }
    void setContainedObject(bool contained) override
    {
        log_.push_back(std::string("contained ") + (contained ? "yes" : "no"));
    }
    QSize extent(std::uint32_t aspect) const override
    {
        log_.push_back("extent " + std::to_string(aspect));
        return {846, 846};
    }
    void draw(QPainter& painter, const QRect& bounds, std::uint32_t) const override
    {
        drawnAt = bounds;
        painter.fillRect(bounds, Qt::red);
    }
    std::vector<ole::Verb> verbs() const override
    {
        ++verbsAsked;
        return verbList;
    }
    void doVerb(int verb, ole::ClientSite& site, QWidget* parent, const QRect& rect) override
    {
        log_.push_back("verb " + std::to_string(verb));
        verbParent = parent;
        verbRect = rect;
        if (failVerbs)
            throw ole::OleError(ole::codes::ServerFailed, "");
        if (verb == 1)
            site.onShowWindow(true);
    }
    void close(SaveOption option) override
    {
        log_.push_back(option == SaveOption::NoSave ? "close no save" : "close saving");
    }

    Log& log_;
    std::vector<ole::Verb> verbList;
    mutable int verbsAsked = 0;
    mutable QRect drawnAt;
    QWidget* verbParent = nullptr;
    QRect verbRect;
    bool failVerbs = false;
};

// Replaces the object-linking layer for one test and records what the container asks of it.
class RecordingLayer final : public ole::ObjectLayer {
public:
    RecordingLayer() { ole::ObjectLayer::setCurrent(this); }
    ~RecordingLayer() override { ole::ObjectLayer::setCurrent(nullptr); }

    std::unique_ptr<ole::Storage> openStorage(std::span<const std::uint8_t> document) override
    {
        log.push_back("open storage " + std::to_string(document.size()));
        if (storageFailure)
            throw *storageFailure;
        auto s = std::make_unique<FakeStorage>(log, document);
        storage = s.get();
        return s;
    }
    std::unique_ptr<ole::OleObject> loadObject(ole::Storage&, ole::ClientSite&) override
    {
        log.push_back("load object");
        if (objectFailure)
            throw *objectFailure;
        auto o = std::make_unique<FakeObject>(log);
        o->verbList = verbs;
        object = o.get();
        return o;
    }

    Log log;
    std::optional<ole::OleError> storageFailure;
    std::optional<ole::OleError> objectFailure;
    std::vector<ole::Verb> verbs;
    FakeStorage* storage = nullptr;
    FakeObject* object = nullptr;
};

std::vector<std::uint8_t> storedValue(std::string_view signature, std::uint32_t aspect,
                                      std::uint32_t size, std::size_t documentBytes)
{
    std::vector<std::uint8_t> v(signature.begin(), signature.end());
    for (std::uint32_t x : {aspect, size})
        for (int i = 0; i < 4; ++i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    for (std::size_t i = 0; i < documentBytes; ++i)
        v.push_back(std::uint8_t(i * 7));
    return v;
}

const std::string kWindow = R"(object Form1: TTestForm
  ClientWidth = 300
  ClientHeight = 200
  object OleContainer1: TOleContainer
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    Align = alClient
    Caption = 'OleContainer1'
    TabOrder = 0
    Data = {@object}
  end
end
)";

class OleContainerTest : public testing::Test {
protected:
    void SetUp() override { app.app.setTitle(QStringLiteral("Sondrel")); }

    // The window of kWindow with `value` as the container's stored value.
    std::unique_ptr<TTestForm> makeWindow(const std::vector<std::uint8_t>& value)
    {
        value_ = value;
        cls_ = std::make_unique<FormClass>(TTestForm::withHandlers(FormClass("TTestForm")));
        cls_->linkedData("object", {reinterpret_cast<const char*>(value_.data()), value_.size()});
        auto form = std::make_unique<TTestForm>(nullptr, kWindow, *cls_);
        container =
            dynamic_cast<TOleContainer*>(form->findComponent(QStringLiteral("OleContainer1")));
        return form;
    }

    // Shown and active, so its controls can take the focus.
    void showActive(TTestForm& form)
    {
        form.widget()->show();
        QApplication::setActiveWindow(form.widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.widget()));
    }

    QImage grab(TTestForm& form)
    {
        form.widget()->show();
        return container->widget()->grab().toImage();
    }

    TestApplication app;
    RecordingLayer layer;
    TOleContainer* container = nullptr;
    std::vector<std::uint8_t> value_;
    std::unique_ptr<FormClass> cls_;
};

std::string readError(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.message().toStdString();
    }
    return "(no error)";
}

// ---------------------------------------------------------------------------------------------
// Loading

struct HeaderCase {
    std::string name;
    std::vector<std::uint8_t> value;
    std::string error;
};

class StoredHeader : public OleContainerTest, public testing::WithParamInterface<HeaderCase> {};

TEST_P(StoredHeader, IsCheckedBeforeAnythingIsLoaded)
{
    const HeaderCase& c = GetParam();
    EXPECT_EQ(readError([&] { makeWindow(c.value); }),
              "Fehler beim Lesen von OleContainer1.Data: " + c.error);
    EXPECT_TRUE(layer.log.empty()) << "the layer was asked for " << layer.log.front();
}

INSTANTIATE_TEST_SUITE_P(
    , StoredHeader,
    testing::Values(
        HeaderCase{"Empty", {}, "Stream-Read-Fehler "},
        HeaderCase{"ShortHeader", {'B', 'D', 'O', 'C', 1, 0, 0, 0, 0, 0, 0}, "Stream-Read-Fehler "},
        HeaderCase{"OtherSignature", storedValue("CDOB", 1, 16, 16), "Ungültiges Stream-Format"},
        HeaderCase{"ShortSignatureCheckedFirst", {'X', 'D', 'O'}, "Stream-Read-Fehler "},
        HeaderCase{"SizePastTheEnd", storedValue("BDOC", 1, 17, 16), "Stream-Read-Fehler "},
        HeaderCase{"HugeSize", storedValue("BDOC", 1, 0xFFFFFFFF, 16), "Stream-Read-Fehler "}),
    [](const auto& info) { return info.param.name; });

TEST_F(OleContainerTest, LoadsInOrderFromItsOwnCopyOfTheDocument)
{
    auto form = makeWindow(storedValue("BDOC", 1, 40, 48));
    EXPECT_EQ(layer.log, (Log{"open storage 40", "load object", "view advise 1 on",
                              "host names 'Sondrel' 'OleContainer1'", "contained yes",
                              "data advise", "extent 1"}));
    ASSERT_NE(layer.storage, nullptr);
    // The document: exactly the declared size after the header, in memory of the container's.
    const auto expected = storedValue("BDOC", 1, 40, 48);
    EXPECT_EQ(layer.storage->document,
              std::vector<std::uint8_t>(expected.begin() + 12, expected.begin() + 52));
    EXPECT_NE(layer.storage->where, value_.data() + 12);
    EXPECT_EQ(container->drawAspect(), 1u);
}

TEST_F(OleContainerTest, TakesTheDrawAspectFromTheHeader)
{
    auto form = makeWindow(storedValue("BDOC", 4, 8, 8));
    EXPECT_EQ(container->drawAspect(), 4u);
    EXPECT_EQ(layer.log[2], "view advise 4 on");
    EXPECT_EQ(layer.log.back(), "extent 4");
}

TEST_F(OleContainerTest, HostNamesLongerThan127CharactersGoEmpty)
{
    struct Case {
        int titleLength;
        bool passed;
    };
    for (const Case c : {Case{127, true}, Case{128, false}, Case{0, true}}) {
        layer.log.clear();
        const QString title(c.titleLength, QLatin1Char('t'));
        app.app.setTitle(title);
        auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
        EXPECT_EQ(layer.log[3],
                  "host names '" + (c.passed ? title.toStdString() : "") + "' 'OleContainer1'")
            << c.titleLength;
    }
}

struct LayerFailureCase {
    std::string name;
    bool inStorage;
    std::uint32_t code;
    std::string detail;
    std::string message;
    Log log;
};

class LayerFailure : public OleContainerTest,
                     public testing::WithParamInterface<LayerFailureCase> {};

TEST_P(LayerFailure, EndsTheReadingWithTheLayersWordsOrItsCode)
{
    const LayerFailureCase& c = GetParam();
    (c.inStorage ? layer.storageFailure : layer.objectFailure) = ole::OleError(c.code, c.detail);
    EXPECT_EQ(readError([&] { makeWindow(storedValue("BDOC", 1, 8, 8)); }),
              "Fehler beim Lesen von OleContainer1.Data: " + c.message);
    EXPECT_EQ(layer.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    , LayerFailure,
    testing::Values(
        LayerFailureCase{
            "DamagedDocument", true, 0x800300FB, "", "OLE-Fehler 800300fb", {"open storage 8"}},
        LayerFailureCase{"DamagedWithWords",
                         true,
                         0x80030109,
                         "Sektor 9 liegt hinter dem Ende",
                         "Sektor 9 liegt hinter dem Ende",
                         {"open storage 8"}},
        LayerFailureCase{"UnknownClass",
                         false,
                         0x80040154,
                         "",
                         "OLE-Fehler 80040154",
                         {"open storage 8", "load object", "release storage"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(OleContainerTest, UnloadsInOrderAndNeverSaves)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    layer.log.clear();
    form.reset();
    EXPECT_EQ(layer.log, (Log{"view advise 1 off", "data unadvise 7", "close no save",
                              "release object", "release storage"}));
}

TEST(OleContainerExtent, ConvertsHundredthsOfAMillimetreToPixels)
{
    struct Case {
        int extent, ppi, pixels;
    };
    for (const Case c :
         {Case{846, 96, 32}, Case{846, 192, 64}, Case{846, 120, 40}, Case{2540, 96, 96},
          Case{0, 96, 0}, Case{1270, 1, 1}, Case{1269, 1, 0}, Case{-846, 96, -32}})
        EXPECT_EQ(TOleContainer::extentToPixels(c.extent, c.ppi), c.pixels)
            << c.extent << " at " << c.ppi;
}

// ---------------------------------------------------------------------------------------------
// Painting

TEST_F(OleContainerTest, DrawsThePictureAtItsSizeTopLeftAndTheWindowColourElsewhere)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    for (const QSize size : {QSize(300, 200), QSize(700, 500)}) {
        form->widget()->resize(size);
        const QImage image = grab(*form);
        EXPECT_EQ(layer.object->drawnAt, QRect(2, 2, 32, 32));
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(33, 33), QColor(Qt::red));
        for (const QPoint p : {QPoint(34, 2), QPoint(2, 34), QPoint(size.width() - 3, 100),
                               QPoint(150, size.height() - 3)})
            EXPECT_EQ(image.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
    }
}

TEST_F(OleContainerTest, ShadesTheAreaWithTheHatchWhileTheObjectIsOpen)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    container->doVerb(1);
    ASSERT_TRUE(container->objectOpen());
    const QImage image = grab(*form);
    static const int rows[8] = {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
    // Client pixels from (2, 2); the pattern is anchored at the control's origin.
    for (int y = 40; y < 56; ++y) {
        for (int x = 40; x < 56; ++x) {
            const bool set = rows[y % 8] & (0x80 >> (x % 8));
            EXPECT_EQ(image.pixelColor(x, y), set ? QColor(Qt::black) : QColor(Qt::white))
                << x << "," << y;
        }
    }
    // Over the picture too.
    EXPECT_EQ(image.pixelColor(3, 4), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));
}

TEST_F(OleContainerTest, AClickGivesTheFocusAndDrawsTheFocusRectangle)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    showActive(*form);
    // As the only control it took the focus when the window became active; start without.
    form->widget()->setFocus();
    QImage image = grab(*form);
    EXPECT_EQ(image.pixelColor(100, 2), QColor(Qt::white));
    EXPECT_FALSE(container->focused());

    QTest::mouseClick(container->widget(), Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_TRUE(container->focused());
    image = grab(*form);
    // Every other pixel of the client area's outline, inverted.
    EXPECT_EQ(image.pixelColor(100, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(101, 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::cyan)); // over the red picture
    EXPECT_EQ(image.pixelColor(297, 100), QColor(Qt::black));
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

struct ActivationCase {
    std::string name;
    std::function<void(QWidget*)> act;
    std::string verb;
};

class Activation : public OleContainerTest, public testing::WithParamInterface<ActivationCase> {};

TEST_P(Activation, RunsTheVerbWithTheWindowAndTheContainersRectangle)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    form->widget()->show();
    layer.log.clear();
    GetParam().act(container->widget());
    EXPECT_EQ(layer.log, Log{GetParam().verb});
    EXPECT_EQ(layer.object->verbParent, form->widget());
    EXPECT_EQ(layer.object->verbRect, container->boundsRect());
}

INSTANTIATE_TEST_SUITE_P(
    , Activation,
    testing::Values(ActivationCase{"DoubleClick",
                                   [](QWidget* w) {
                                       QTest::mouseDClick(w, Qt::LeftButton, {}, {20, 20});
                                   },
                                   "verb 0"},
                    ActivationCase{"Enter",
                                   [](QWidget* w) {
                                       QTest::mouseClick(w, Qt::LeftButton, {}, {20, 20});
                                       QTest::keyClick(w, Qt::Key_Return);
                                   },
                                   "verb 0"},
                    ActivationCase{"KeypadEnter",
                                   [](QWidget* w) { QTest::keyClick(w, Qt::Key_Enter); }, "verb 0"},
                    ActivationCase{
                        "CtrlEnter",
                        [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return, Qt::ControlModifier); },
                        "verb -1"}),
    [](const auto& info) { return info.param.name; });

TEST_F(OleContainerTest, OtherMouseButtonsAndKeysRunNoVerb)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    form->widget()->show();
    layer.log.clear();
    QTest::mouseDClick(container->widget(), Qt::RightButton, {}, {20, 20});
    QTest::mouseClick(container->widget(), Qt::LeftButton, {}, {20, 20});
    QTest::keyClick(container->widget(), Qt::Key_Space);
    QTest::keyClick(container->widget(), Qt::Key_A);
    EXPECT_EQ(layer.log, Log{});
}

struct MenuCase {
    std::string name;
    std::vector<ole::Verb> verbs;
    std::vector<QString> items;
};

class VerbMenu : public OleContainerTest, public testing::WithParamInterface<MenuCase> {};

constexpr unsigned onMenu = ole::Verb::OnContainerMenu;

TEST_P(VerbMenu, OffersTheVerbsUpToTheFirstNegativeOrUnflaggedOne)
{
    layer.verbs = GetParam().verbs;
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    form->widget()->show();
    QTest::mouseClick(container->widget(), Qt::RightButton, {}, {20, 30});
    ASSERT_EQ(app.menus.shown.size(), GetParam().items.empty() ? 0u : 1u);
    if (!GetParam().items.empty()) {
        EXPECT_EQ(app.menus.shown[0].items, GetParam().items);
        EXPECT_EQ(app.menus.shown[0].globalPos, container->widget()->mapToGlobal(QPoint(20, 30)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    , VerbMenu,
    testing::Values(
        MenuCase{"AllOnMenu",
                 {{0, "&Wiedergeben", 0, onMenu}, {1, "&Bearbeiten", 0, onMenu}},
                 {"&Wiedergeben", "&Bearbeiten"}},
        MenuCase{"StopsAtNegative",
                 {{0, "&Play", 0, onMenu}, {-1, "Show", 0, onMenu}, {1, "&Edit", 0, onMenu}},
                 {"&Play"}},
        MenuCase{"StopsAtUnflagged",
                 {{0, "&Play", 0, onMenu}, {1, "Hidden", 0, 0}, {2, "&Edit", 0, onMenu}},
                 {"&Play"}},
        MenuCase{"NeverDirtiesAloneIsNotOnTheMenu",
                 {{0, "&Play", 0, onMenu | ole::Verb::NeverDirties},
                  {1, "&Edit", 0, ole::Verb::NeverDirties}},
                 {"&Play"}},
        MenuCase{"FirstNotOnMenu", {{0, "&Play", 0, 0}, {1, "&Edit", 0, onMenu}}, {}},
        MenuCase{"NoVerbs", {}, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(OleContainerTest, TheChosenItemRunsItsVerbAndTheListIsAskedForOnce)
{
    layer.verbs = {{0, "&Wiedergeben", 0, onMenu}, {1, "&Bearbeiten", 0, onMenu}};
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    form->widget()->show();
    layer.log.clear();
    app.menus.choices = {1, -1, 0};
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(container->widget(), Qt::RightButton, {}, {20, 30});
    EXPECT_EQ(layer.log, (Log{"verb 1", "verb 0"}));
    EXPECT_EQ(layer.object->verbsAsked, 1);
    EXPECT_EQ(app.menus.shown.size(), 3u);
}

TEST_F(OleContainerTest, AFailingVerbGoesToTheErrorBoxAndLeavesTheWindowAsItWas)
{
    auto form = makeWindow(storedValue("BDOC", 1, 8, 8));
    form->widget()->show();
    layer.object->failVerbs = true;
    QTest::mouseDClick(container->widget(), Qt::LeftButton, {}, {20, 20});
    ASSERT_EQ(app.boxes.shown.size(), 1u);
    EXPECT_EQ(app.boxes.shown[0].text, QStringLiteral("OLE-Fehler 80080005."));
    EXPECT_EQ(app.boxes.shown[0].caption, QStringLiteral("Sondrel"));
    EXPECT_EQ(app.boxes.shown[0].icon, MessageBoxes::Stop);
    EXPECT_FALSE(container->objectOpen());
    EXPECT_TRUE(container->hasObject());
}

TEST_F(OleContainerTest, AMissingLinkNamesTheControlAndProperty)
{
    cls_ = std::make_unique<FormClass>(TTestForm::withHandlers(FormClass("TTestForm")));
    EXPECT_EQ(readError([&] { TTestForm form(nullptr, kWindow, *cls_); }),
              "Fehler beim Lesen von OleContainer1.Data: Verknüpfte Daten object nicht gefunden");
}

} // namespace
