#include "clsmovie.h"

namespace tarnwick {

void clsMovie::Effect_Blend(Surface&, Surface&, Surface&, Surface&) {}

} // namespace tarnwick
