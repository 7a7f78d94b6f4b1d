#include "sondrel/storedobject.h"
#include "soundobject_data.h"

std::string_view storedSoundObject()
{
    return soundobject_data_bytes();
}
