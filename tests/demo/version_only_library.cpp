// A library file of the right name that answers only the version query, as an older or broken
// installation would: binding any barcode function to it fails.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t Lorvaxen_version(void)
{
    return 80;
}
