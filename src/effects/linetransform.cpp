#include "clsmovie.h"

namespace tarnwick {

void clsMovie::Effect_LineTransform(Surface&, Surface&, Surface&, Surface&) {}

} // namespace tarnwick
