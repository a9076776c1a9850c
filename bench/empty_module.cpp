// A module with nothing in it: what loading any library costs, to compare the plug-in with.
#if defined(_WIN32)
extern "C" __declspec(dllexport) int EmptyModule() {
    return 0;
}
#else
extern "C" __attribute__((visibility("default"))) int EmptyModule() {
    return 0;
}
#endif
