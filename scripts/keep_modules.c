/* Preloaded into the sanitizer run (scripts/sanitize.sh): dlclose keeps every library
 * loaded. SDL and Mesa unload the GL driver and its helpers at shutdown, before
 * LeakSanitizer looks at what is left; a leak from an unloaded library has no module name
 * in its stack, so the suppressions in lsan.supp, which name libraries, could not tell it
 * from one of ours. Nothing of ours loads libraries itself. */
int dlclose(void* handle) {
    (void)handle;
    return 0;
}
