// Test executables below the window run without a QApplication and without a display, as
// anything that uses the recipe core without a window does. QCoreApplication serves the
// processes and timers some of them start.
#include <QCoreApplication>

#include <gtest/gtest.h>

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer sees none of the locks and atomics inside the libraries this build does not
// instrument, so what they hand from one thread to another looks unordered. Built into the
// programs, not read from a file, so that a test run again as another user has them too. Each
// names a library's own calls, never a frame of ours: a race in our code is still reported.
//   called_from_lib:libglib  GLib's event loop under Qt's dispatcher: a thread's loop makes its
//                            wake-up descriptor, which another thread's quit() writes. Our own
//                            threads hand work over through mailboxes, never through GLib.
//   race:sqlite3_free        SQLCipher freeing a block another connection wrote, both under its
//                            own locks; only SQLCipher's own frees go through it.
extern "C" const char *__tsan_default_suppressions()
{
    return "called_from_lib:libglib-2.0.so\n"
           "race:sqlite3_free\n";
}
#endif

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
