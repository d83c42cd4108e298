#include "clsmovie.h"

namespace tarnwick {

void clsMovie::Effect_Mask(Surface&, Surface&, Surface&, Surface&) {}

void clsMovie::Effect_Shutter(Surface&, Surface&, Surface&, Surface&) {}

} // namespace tarnwick
