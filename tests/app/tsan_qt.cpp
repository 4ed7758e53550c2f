// Qt's own libraries are not built with the thread sanitizer, so the hand-overs inside its
// thread pool (used by the platform plugin) look like races. Reports that start in them are
// silenced; our code stays fully checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n";
}
