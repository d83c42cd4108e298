#include "session.h"

namespace tarnwick {

std::int32_t StartMode = ModeNone;
std::unique_ptr<Album> gAlbum;
std::unique_ptr<PackedFile> gPackReader;
std::int32_t gPackOffset = 0;

void ResetSession()
{
    StartMode = ModeNone;
    gAlbum.reset();
    gPackReader.reset();
    gPackOffset = 0;
}

} // namespace tarnwick
