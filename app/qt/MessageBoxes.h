// The window's modal message boxes (TMessage, MainWindow.h): an error or a warning with a title, a
// text and a single OK button.
//
// The boxes go through a replaceable shower, so that tests observe them instead of a modal box.
//
// GUI thread only; the default shower blocks in a modal message box until the user closes it.
#pragma once

#include "MainWindow.h"

#include <functional>

class QWidget;

// Shows Message to the user; Parent may be null.
using TMessageShower = std::function<void(QWidget* Parent, const TMessage& Message)>;

// Makes Shower the one that ShowMessage uses (an empty one restores the message box) and returns
// the previous one.
TMessageShower SetMessageShower(TMessageShower Shower);

// Shows Message through the current shower.
void ShowMessage(QWidget* Parent, const TMessage& Message);

// Answers a Yes/No question (TQuestion, MainWindow.h); true for Yes. Replaceable like the
// messages, so that tests answer instead of the user.
using TQuestionAsker = std::function<bool(QWidget* Parent, const TQuestion& Question)>;
TQuestionAsker SetQuestionAsker(TQuestionAsker Asker);
bool AskQuestion(QWidget* Parent, const TQuestion& Question);
