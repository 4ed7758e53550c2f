// Qt and the system's font library are not built with the sanitizers. The thread
// sanitizer sees the hand-overs inside Qt's own thread pool as races, and fontconfig keeps a
// cache it never frees; reports that start in those libraries are silenced, our code stays
// fully checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6DataVisualization.so.6\n";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
