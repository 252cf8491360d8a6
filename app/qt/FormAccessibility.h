// The Qt window's controls as assistive tools (screen readers, through AT-SPI on Linux) see them:
// names, descriptions and roles from the form's description (FormDescription.h), nothing of
// their own. Qt's standard widgets (radio buttons, lists, the spin box, the text box, labels)
// keep their own accessible objects and take the table's names; the self-drawn controls (the
// image buttons, Save as, the input chooser, the two bars) and the status panel get one here,
// which tells what AccessibleState.h decides: names, values, states and actions, each action the
// window's routing of a click (ControlEvents.h).
//
// Changes are told as they happen: a bar's new value, the announced panel's new text.
//
// GUI thread only.
#pragma once

#include "FormWidgets.h"
#include "MainWindow.h"

class QWidget;

// What carries out a control's action for an assistive tool: the window the control lies in,
// which reports it to its routing as a click.
class TAccessibleActions {
public:
    virtual ~TAccessibleActions() = default;
    virtual void Activate(TControl Control) = 0;
};

// Makes Qt ask this unit for the accessible objects of the form's controls; once per process,
// before the first control is built.
void InstallFormAccessibility();
// Gives Widget, the form's control Control, what the form says assistive tools are told of it.
// Its action goes to its window, when that is a TAccessibleActions.
void DescribeForAssistiveTools(QWidget& Widget, TControl Control);

// Ties each painted label that names a control to it (the label's buddy), so that assistive
// tools read the control with its label: on Linux a list is named by its label's relation, its
// own name being its text.
void RelateLabels(const TFormWidgets& Widgets);

// Tells assistive tools that the bar's value or the control's text changed (the latter only for
// a control whose changes the form announces).
void TellValueChanged(QWidget& Bar, int Value);
void TellTextChanged(QWidget& Widget, TControl Control);
