#pragma once

#include <memory>
#include <string>

class QApplication;

// How qpane brings up the toolkit for its window.
namespace qpane {

// The exit status of qpane when it has no display to show its window on (or the toolkit
// cannot start the window system it was given). 1 stays the status of a result store that
// cannot be opened.
inline constexpr int kNoDisplayExitStatus = 3;

// The one line that qpane prints when it finds no display: what is missing and how to run
// without one. Empty when the environment names a display or a toolkit platform.
std::string missingDisplayText();

// The one line printed when the toolkit could not start its window system (a display that
// does not answer, a platform that does not load); the toolkit's own warnings come before it.
std::string failedPlatformText();

// The application object. Without a display, or when the toolkit fails to start its window
// system, it prints the line that says so and ends the program with kNoDisplayExitStatus,
// where the toolkit would abort.
std::unique_ptr<QApplication> startToolkit(int& argc, char** argv);

// What the console's window needs of the application: the window ends the program itself,
// after its shut-down, and the title bar shows the window's caption alone (the toolkit adds
// the application's display name to every title when one is set, so none is).
void setUpApplication();

}  // namespace qpane
