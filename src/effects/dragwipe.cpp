#include "clsmovie.h"

namespace tarnwick {

void clsMovie::Effect_Drag(Surface&, Surface&, Surface&, Surface&) {}

void clsMovie::Effect_Wipe(Surface&, Surface&, Surface&, Surface&) {}

} // namespace tarnwick
