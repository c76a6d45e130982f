// A module that loads but exports none of the archiver entry points.
extern "C" __attribute__((visibility("default"))) int NotAnArchiver() {
    return 1;
}
