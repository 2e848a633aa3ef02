// Caches that the font libraries keep for the life of the process are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libfreetype.so\n"
         // On a real display the desktop bus library keeps a buffer for the
         // life of the process.
         "leak:libdbus-1.so\n";
}
