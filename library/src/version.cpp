#include <Lorvaxen.h>

extern "C" LORVAXEN_API int32_t LORVAXEN_CALL Lorvaxen_version(void)
{
    return LORVAXEN_VERSION;
}
