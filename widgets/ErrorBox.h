// The title of every error box of the program: the settings' error, a run's failure, and the
// report of an error that left an event handler or a window procedure, on every front end.
// "Error" is the title the recorder's own settings box has always had; the others follow it, so
// that the user sees one kind of box for one kind of news.
//
// Any thread.
#pragma once

inline constexpr const char* ErrorBoxTitle = "Error";
