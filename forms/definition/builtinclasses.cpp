// The property tables of the class library's controls: what a definition may set, by name.

#include "forms/button.h"
#include "forms/checkbox.h"
#include "forms/combobox.h"
#include "forms/definition/classregistry.h"
#include "forms/definition/readcontext.h"
#include "forms/definition/values.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/listbox.h"
#include "forms/olecontainer.h"
#include "forms/opendialog.h"
#include "forms/panel.h"
#include "forms/progressbar.h"
#include "forms/richedit.h"
#include "forms/timer.h"

#include <QPixmap>

#include <array>
#include <limits>

namespace forms::definition {

namespace {

using Setter = ClassRegistry::Setter;

// A setter for class C from a function taking (C&, value, context).
template <typename C, typename F> Setter on(F f)
{
    return [f](TComponent& c, const Value& v, ReadContext& ctx) { f(static_cast<C&>(c), v, ctx); };
}

template <typename C> std::function<TComponent*(TComponent*)> creator()
{
    return [](TComponent* owner) -> TComponent* { return new C(owner); };
}

TAlignment toAlignment(const Value& v)
{
    return toEnum<TAlignment>(v, {{"taLeftJustify", TAlignment::LeftJustify},
                                  {"taRightJustify", TAlignment::RightJustify},
                                  {"taCenter", TAlignment::Center}});
}

TPanel::Bevel toBevel(const Value& v)
{
    return toEnum<TPanel::Bevel>(v, {{"bvNone", TPanel::Bevel::None},
                                     {"bvLowered", TPanel::Bevel::Lowered},
                                     {"bvRaised", TPanel::Bevel::Raised},
                                     {"bvSpace", TPanel::Bevel::None}});
}

int toCharset(const Value& v)
{
    if (v.kind == Value::Kind::Integer)
        return int(toInteger(v, 0, 255));
    return toEnum<int>(v, {{"ANSI_CHARSET", 0},
                           {"DEFAULT_CHARSET", 1},
                           {"SYMBOL_CHARSET", 2},
                           {"OEM_CHARSET", 255},
                           {"EASTEUROPE_CHARSET", 238},
                           {"RUSSIAN_CHARSET", 204}});
}

// Window icons are stored with the definition as the lines of an XPM image, which keeps them
// readable and editable as text.
QIcon toXpmIcon(const Value& v)
{
    const QStringList lines = toStrings(v);
    std::vector<QByteArray> bytes;
    bytes.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        bytes.push_back(line.toLatin1());
    std::vector<const char*> pointers;
    for (const QByteArray& b : bytes)
        pointers.push_back(b.constData());
    // The XPM reader trusts its header; check that it promises no more than is there.
    if (lines.isEmpty())
        throw invalidValue();
    const QStringList header = lines[0].split(u' ', Qt::SkipEmptyParts);
    std::array<long, 4> n{}; // width, height, colours, characters per pixel
    if (header.size() < 4)
        throw invalidValue();
    for (std::size_t i = 0; i < n.size(); ++i) {
        bool ok = false;
        n[i] = header[qsizetype(i)].toLong(&ok);
        if (!ok || n[i] <= 0 || n[i] > 1024)
            throw invalidValue();
    }
    const auto [w, h, colours, cpp] = n;
    if (std::size_t(1 + colours + h) > bytes.size())
        throw invalidValue();
    for (long row = 0; row < h; ++row) {
        if (bytes[std::size_t(1 + colours + row)].size() < qsizetype(w * cpp))
            throw invalidValue();
    }
    QPixmap pixmap(pointers.data());
    if (pixmap.isNull())
        throw invalidValue();
    return QIcon(pixmap);
}

void registerControl(ClassRegistry& r)
{
    auto& c = r.add(QStringLiteral("TControl"), QStringLiteral("TComponent"));
    c.properties = {
        {QStringLiteral("Left"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setLeft(toInt(v)); })},
        {QStringLiteral("Top"), on<TControl>([](auto& x, auto& v, auto&) { x.setTop(toInt(v)); })},
        {QStringLiteral("Width"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setWidth(int(toInteger(v, 0, 65535))); })},
        {QStringLiteral("Height"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setHeight(int(toInteger(v, 0, 65535))); })},
        {QStringLiteral("Align"), on<TControl>([](auto& x, auto& v, auto&) {
             x.setAlign(toEnum<TAlign>(v, {{"alNone", TAlign::alNone},
                                           {"alTop", TAlign::alTop},
                                           {"alBottom", TAlign::alBottom},
                                           {"alLeft", TAlign::alLeft},
                                           {"alRight", TAlign::alRight},
                                           {"alClient", TAlign::alClient}}));
         })},
        {QStringLiteral("Visible"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setVisible(toBool(v)); })},
        {QStringLiteral("Enabled"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setEnabled(toBool(v)); })},
        {QStringLiteral("Caption"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setCaption(toText(v)); })},
        {QStringLiteral("Text"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setText(toText(v)); })},
        {QStringLiteral("Color"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setColor(toColor(v)); })},
        {QStringLiteral("ParentColor"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setParentColor(toBool(v)); })},
        {QStringLiteral("ParentFont"),
         on<TControl>([](auto& x, auto& v, auto&) { x.setParentFont(toBool(v)); })},
        {QStringLiteral("Font.Name"),
         on<TControl>([](auto& x, auto& v, auto&) { x.font().setName(toText(v)); })},
        {QStringLiteral("Font.Height"), on<TControl>([](auto& x, auto& v, auto&) {
             x.font().setHeight(int(toInteger(v, -1000, 1000)));
         })},
        {QStringLiteral("Font.Size"), on<TControl>([](auto& x, auto& v, auto&) {
             x.font().setHeight(-int((toInteger(v, 1, 1000) * 96 + 36) / 72));
         })},
        {QStringLiteral("Font.Color"),
         on<TControl>([](auto& x, auto& v, auto&) { x.font().setColor(toColor(v)); })},
        {QStringLiteral("Font.Charset"),
         on<TControl>([](auto& x, auto& v, auto&) { x.font().setCharset(toCharset(v)); })},
        {QStringLiteral("Font.Style"), on<TControl>([](auto& x, auto& v, auto&) {
             x.font().setStyle(toSet(v, {{"fsBold", TFont::fsBold},
                                         {"fsItalic", TFont::fsItalic},
                                         {"fsUnderline", TFont::fsUnderline},
                                         {"fsStrikeOut", TFont::fsStrikeOut}}));
         })},
        {QStringLiteral("OnClick"),
         on<TControl>([](auto& x, auto& v, auto& ctx) { x.onClick = ctx.notifyHandler(v); })},
    };

    auto& w = r.add(QStringLiteral("TWinControl"), QStringLiteral("TControl"));
    w.properties = {
        {QStringLiteral("TabOrder"), on<TWinControl>([](auto& x, auto& v, auto&) {
             x.setTabOrder(int(toInteger(v, -1, 32767)));
         })},
        {QStringLiteral("TabStop"),
         on<TWinControl>([](auto& x, auto& v, auto&) { x.setTabStop(toBool(v)); })},
        {QStringLiteral("OnKeyDown"),
         on<TWinControl>([](auto& x, auto& v, auto& ctx) { x.onKeyDown = ctx.keyHandler(v); })},
    };
}

void registerControls(ClassRegistry& r)
{
    auto& label = r.add(QStringLiteral("TLabel"), QStringLiteral("TControl"), creator<TLabel>());
    label.properties = {
        {QStringLiteral("AutoSize"),
         on<TLabel>([](auto& x, auto& v, auto&) { x.setAutoSize(toBool(v)); })},
        {QStringLiteral("Transparent"),
         on<TLabel>([](auto& x, auto& v, auto&) { x.setTransparent(toBool(v)); })},
    };

    r.add(QStringLiteral("TButton"), QStringLiteral("TWinControl"), creator<TButton>());

    auto& edit = r.add(QStringLiteral("TEdit"), QStringLiteral("TWinControl"), creator<TEdit>());
    edit.properties = {
        {QStringLiteral("ReadOnly"),
         on<TEdit>([](auto& x, auto& v, auto&) { x.setReadOnly(toBool(v)); })},
    };

    auto& combo =
        r.add(QStringLiteral("TComboBox"), QStringLiteral("TWinControl"), creator<TComboBox>());
    combo.properties = {
        {QStringLiteral("Items.Strings"),
         on<TComboBox>([](auto& x, auto& v, auto&) { x.setItems(toStrings(v)); })},
        {QStringLiteral("ItemHeight"), on<TComboBox>([](auto& x, auto& v, auto&) {
             x.setItemHeight(int(toInteger(v, 1, 255)));
         })},
        // Only the editable drop-down style exists here.
        {QStringLiteral("Style"), on<TComboBox>([](auto&, auto& v, auto&) {
             toEnum<int>(v, {{"csDropDown", 0}});
         })},
    };

    auto& check =
        r.add(QStringLiteral("TCheckBox"), QStringLiteral("TWinControl"), creator<TCheckBox>());
    check.properties = {
        {QStringLiteral("Checked"),
         on<TCheckBox>([](auto& x, auto& v, auto&) { x.setChecked(toBool(v)); })},
        {QStringLiteral("State"), on<TCheckBox>([](auto& x, auto& v, auto&) {
             x.setChecked(toEnum<bool>(v, {{"cbChecked", true}, {"cbUnchecked", false}}));
         })},
    };

    auto& list =
        r.add(QStringLiteral("TListBox"), QStringLiteral("TWinControl"), creator<TListBox>());
    list.properties = {
        {QStringLiteral("Items.Strings"),
         on<TListBox>([](auto& x, auto& v, auto&) { x.setItems(toStrings(v)); })},
        {QStringLiteral("ItemHeight"),
         on<TListBox>([](auto& x, auto& v, auto&) { x.setItemHeight(int(toInteger(v, 1, 255))); })},
    };

    auto& panel = r.add(QStringLiteral("TPanel"), QStringLiteral("TWinControl"), creator<TPanel>());
    panel.properties = {
        {QStringLiteral("Alignment"),
         on<TPanel>([](auto& x, auto& v, auto&) { x.setAlignment(toAlignment(v)); })},
        {QStringLiteral("BevelOuter"),
         on<TPanel>([](auto& x, auto& v, auto&) { x.setBevelOuter(toBevel(v)); })},
        {QStringLiteral("BevelInner"),
         on<TPanel>([](auto& x, auto& v, auto&) { x.setBevelInner(toBevel(v)); })},
        {QStringLiteral("BevelWidth"),
         on<TPanel>([](auto& x, auto& v, auto&) { x.setBevelWidth(int(toInteger(v, 1, 100))); })},
    };

    auto& ole = r.add(QStringLiteral("TOleContainer"), QStringLiteral("TWinControl"),
                      creator<TOleContainer>());
    ole.properties = {
        {QStringLiteral("BorderStyle"), on<TOleContainer>([](auto& x, auto& v, auto&) {
             using B = TOleContainer::BorderStyle;
             x.setBorderStyle(toEnum<B>(v, {{"bsNone", B::None}, {"bsSingle", B::Single}}));
         })},
        {QStringLiteral("Data"),
         on<TOleContainer>([](auto& x, auto& v, auto& ctx) { x.loadFromData(ctx.binary(v)); })},
    };

    auto& rich =
        r.add(QStringLiteral("TRichEdit"), QStringLiteral("TWinControl"), creator<TRichEdit>());
    rich.properties = {
        {QStringLiteral("Lines.Strings"),
         on<TRichEdit>([](auto& x, auto& v, auto&) { x.setLines(toStrings(v)); })},
        {QStringLiteral("ReadOnly"),
         on<TRichEdit>([](auto& x, auto& v, auto&) { x.setReadOnly(toBool(v)); })},
        {QStringLiteral("WordWrap"),
         on<TRichEdit>([](auto& x, auto& v, auto&) { x.setWordWrap(toBool(v)); })},
        {QStringLiteral("ScrollBars"), on<TRichEdit>([](auto& x, auto& v, auto&) {
             using S = TRichEdit::ScrollBars;
             x.setScrollBars(toEnum<S>(v, {{"ssNone", S::None},
                                           {"ssHorizontal", S::Horizontal},
                                           {"ssVertical", S::Vertical},
                                           {"ssBoth", S::Both}}));
         })},
    };

    auto& bar = r.add(QStringLiteral("TProgressBar"), QStringLiteral("TWinControl"),
                      creator<TProgressBar>());
    bar.properties = {
        {QStringLiteral("Min"),
         on<TProgressBar>([](auto& x, auto& v, auto&) { x.setMin(int(toInteger(v, 0, 65535))); })},
        {QStringLiteral("Max"),
         on<TProgressBar>([](auto& x, auto& v, auto&) { x.setMax(int(toInteger(v, 0, 65535))); })},
        {QStringLiteral("Position"), on<TProgressBar>([](auto& x, auto& v, auto&) {
             x.setPosition(int(toInteger(v, 0, 65535)));
         })},
        {QStringLiteral("Step"),
         on<TProgressBar>([](auto& x, auto& v, auto&) { x.setStep(int(toInteger(v, 0, 65535))); })},
    };
}

void registerComponents(ClassRegistry& r)
{
    auto& timer = r.add(QStringLiteral("TTimer"), QStringLiteral("TComponent"), creator<TTimer>());
    timer.properties = {
        {QStringLiteral("Enabled"),
         on<TTimer>([](auto& x, auto& v, auto&) { x.setEnabled(toBool(v)); })},
        {QStringLiteral("Interval"), on<TTimer>([](auto& x, auto& v, auto&) {
             x.setInterval(unsigned(toInteger(v, 0, std::numeric_limits<std::int32_t>::max())));
         })},
        {QStringLiteral("OnTimer"),
         on<TTimer>([](auto& x, auto& v, auto& ctx) { x.setOnTimer(ctx.notifyHandler(v)); })},
    };

    auto& open =
        r.add(QStringLiteral("TOpenDialog"), QStringLiteral("TComponent"), creator<TOpenDialog>());
    open.properties = {
        {QStringLiteral("FileName"),
         on<TOpenDialog>([](auto& x, auto& v, auto&) { x.setFileName(toText(v)); })},
        {QStringLiteral("Filter"),
         on<TOpenDialog>([](auto& x, auto& v, auto&) { x.setFilter(toText(v)); })},
        {QStringLiteral("Title"),
         on<TOpenDialog>([](auto& x, auto& v, auto&) { x.setTitle(toText(v)); })},
        {QStringLiteral("Options"), on<TOpenDialog>([](auto& x, auto& v, auto&) {
             x.setOptions(toSet(v, {{"ofReadOnly", TOpenDialog::ofReadOnly},
                                    {"ofHideReadOnly", TOpenDialog::ofHideReadOnly},
                                    {"ofFileMustExist", TOpenDialog::ofFileMustExist}}));
         })},
    };
}

void registerForm(ClassRegistry& r)
{
    auto& form = r.add(QStringLiteral("TForm"), QStringLiteral("TWinControl"));
    form.properties = {
        {QStringLiteral("ClientWidth"),
         on<TForm>([](auto& x, auto& v, auto&) { x.setClientWidth(int(toInteger(v, 0, 65535))); })},
        {QStringLiteral("ClientHeight"), on<TForm>([](auto& x, auto& v, auto&) {
             x.setClientHeight(int(toInteger(v, 0, 65535)));
         })},
        {QStringLiteral("BorderStyle"), on<TForm>([](auto& x, auto& v, auto&) {
             using B = TForm::BorderStyle;
             x.setBorderStyle(toEnum<B>(v, {{"bsNone", B::None},
                                            {"bsSingle", B::Single},
                                            {"bsSizeable", B::Sizeable},
                                            {"bsDialog", B::Dialog},
                                            {"bsToolWindow", B::ToolWindow},
                                            {"bsSizeToolWin", B::SizeToolWin}}));
         })},
        {QStringLiteral("BorderIcons"), on<TForm>([](auto& x, auto& v, auto&) {
             x.setBorderIcons(toSet(v, {{"biSystemMenu", TForm::biSystemMenu},
                                        {"biMinimize", TForm::biMinimize},
                                        {"biMaximize", TForm::biMaximize},
                                        {"biHelp", TForm::biHelp}}));
         })},
        {QStringLiteral("ActiveControl"), on<TForm>([](auto& x, auto& v, auto& ctx) {
             ctx.reference(v, [&x](TComponent* c) {
                 auto* w = dynamic_cast<TWinControl*>(c);
                 if (!w)
                     throw invalidValue();
                 x.setActiveControl(w);
             });
         })},
        {QStringLiteral("Icon.Xpm"),
         on<TForm>([](auto& x, auto& v, auto&) { x.setIcon(toXpmIcon(v)); })},
    };
}

} // namespace

void registerBuiltinClasses(ClassRegistry& r)
{
    r.add(QStringLiteral("TComponent"), QString());
    registerControl(r);
    registerControls(r);
    registerComponents(r);
    registerForm(r);
}

} // namespace forms::definition
