// The form's look attributes that the toolkit's form description has no words for, stored in
// the form as dynamic properties of each widget and applied once after the form is built:
//
//   FontPixels  int     character height in pixels (the form's sizes are pixel sizes)
//   TextColor   string  colour of the widget's text
//   FaceColor   string  background of the widget (a box's field, a button's face)
//   ActiveControl string  (on the form) the name of the control that has the focus at first
//
// A colour is a system colour's name ("clInfoBk", the tooltip background; "clBtnFace";
// "clWindowText"; "clBackground", the desktop) or "#rrggbb".
//
// GUI thread only; needs the application object (system colours come from its palette).
#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The colour a name stands for; raises std::invalid_argument for an unknown name.
QColor ResolveFormColor(const QString& Name);

// Lets fontconfig's metric-compatible free fonts stand in for the fonts the form names.
// Idempotent.
void InstallFontSubstitutes();

// Applies the attributes of Root and of every widget beneath it.
void ApplyFormAttributes(QWidget* Root);
