#include "FormAttributes.h"

#include "SystemColors.h"

#include <QFont>
#include <QVariant>
#include <QWidget>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::pair<const char*, TColor> SystemColorNames[] = {
    { "clInfoBk", clInfoBk },
    { "clInfoText", clInfoText },
    { "clBtnFace", clBtnFace },
    { "clBtnText", clBtnText },
    { "clWindow", clWindow },
    { "clWindowText", clWindowText },
    { "clBackground", clBackground },
    { "clHighlight", clHighlight },
};

constexpr std::pair<const char*, const char*> FontSubstitutes[] = {
    { "MS Sans Serif", "Liberation Sans" },
    { "Times New Roman", "Liberation Serif" },
};

void ApplyFont(QWidget* Widget)
{
    const QVariant Pixels = Widget->property("FontPixels");
    if (!Pixels.isValid())
        return;
    QFont Font = Widget->font();
    Font.setPixelSize(Pixels.toInt());
    Widget->setFont(Font);
}

QColor Midway(const QColor& From, const QColor& To)
{
    return QColor((From.red() + To.red()) / 2, (From.green() + To.green()) / 2,
        (From.blue() + To.blue()) / 2);
}

void ApplyColors(QWidget* Widget)
{
    const QVariant Text = Widget->property("TextColor");
    const QVariant Face = Widget->property("FaceColor");
    if (!Text.isValid() && !Face.isValid())
        return;
    QPalette Palette = Widget->palette();
    if (Text.isValid()) {
        const QColor Color = ResolveFormColor(Text.toString());
        for (QPalette::ColorRole Role :
            { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
            Palette.setColor(Role, Color);
    }
    if (Face.isValid()) {
        const QColor Color = ResolveFormColor(Face.toString());
        for (QPalette::ColorRole Role : { QPalette::Window, QPalette::Base, QPalette::Button })
            Palette.setColor(Role, Color);
        Widget->setAutoFillBackground(true);
    }
    // A disabled control (the settings during a recording) shows its text dimmed, half way to
    // its face; the system's grey would vanish on the form's grey boxes.
    if (Text.isValid() && Face.isValid()) {
        const QColor Dimmed = Midway(Palette.color(QPalette::Active, QPalette::Text),
            Palette.color(QPalette::Active, QPalette::Base));
        for (QPalette::ColorRole Role :
            { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
            Palette.setColor(QPalette::Disabled, Role, Dimmed);
    }
    Widget->setPalette(Palette);
}

} // namespace

QColor ResolveFormColor(const QString& Name)
{
    for (const auto& [Known, Color] : SystemColorNames)
        if (Name == QLatin1String(Known))
            return ToQColor(Color);
    const QColor Plain = QColor::fromString(Name);
    if (!Name.startsWith('#') || !Plain.isValid())
        throw std::invalid_argument("Unknown colour \"" + Name.toStdString() + "\" in the form");
    return Plain;
}

void InstallFontSubstitutes()
{
    for (const auto& [Named, Substitute] : FontSubstitutes)
        if (!QFont::substitutes(QLatin1String(Named)).contains(QLatin1String(Substitute)))
            QFont::insertSubstitution(QLatin1String(Named), QLatin1String(Substitute));
}

void ApplyFormAttributes(QWidget* Root)
{
    ApplyFont(Root);
    ApplyColors(Root);
    for (QWidget* Child : Root->findChildren<QWidget*>()) {
        ApplyFont(Child);
        ApplyColors(Child);
    }
    const QVariant Active = Root->property("ActiveControl");
    if (!Active.isValid())
        return;
    QWidget* Control = Root->findChild<QWidget*>(Active.toString());
    if (!Control)
        throw std::invalid_argument(
            "The form has no control \"" + Active.toString().toStdString() + "\"");
    Control->setFocus();
}
