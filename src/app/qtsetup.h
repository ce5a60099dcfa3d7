#pragma once

class QCoreApplication;

// What the program sets up in Qt itself, once, right after the application object is made.
namespace pennoro::qtsetup {

// Qt's own words (the save dialog's labels and buttons, the memo's context menu, the reasons Qt
// gives for file errors) in Japanese whatever the system's language, from Qt's own translation
// (qtbase_ja) in Qt's translations folder. False, and Qt stays English, where it is not installed.
bool loadJapaneseTranslation(QCoreApplication& application);

// Keeps Qt from reading or writing settings files: the save dialog would otherwise restore its
// folder, history and layout from the user's Qt settings when made and write them back when
// destroyed. The program keeps nothing but its memo store and the files the user exports; the
// dialog's state lives for the run only.
void keepNoSettings();

} // namespace pennoro::qtsetup

namespace pennoro {

// While it lives, a thread that Qt cannot start ends the program at once with the reason on
// standard error. Under a memory or process limit Qt goes on without such a thread (the X
// connection's event reader, the D-Bus connection that accessibility opens) and then waits for
// it for ever: no window, no message. Made before the application object, kept until the
// window is up; the program has written nothing by then.
class ThreadFailureGuard {
public:
    ThreadFailureGuard();
    ~ThreadFailureGuard();
    ThreadFailureGuard(const ThreadFailureGuard&) = delete;
    ThreadFailureGuard& operator=(const ThreadFailureGuard&) = delete;
};

} // namespace pennoro
