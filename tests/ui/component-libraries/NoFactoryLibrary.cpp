// A chat component library without factories.

extern "C" __attribute__((visibility("default"))) int ChatComponentTestMarker() {
    return 1;
}
