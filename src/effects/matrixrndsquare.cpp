#include "clsmovie.h"

namespace tarnwick {

void clsMovie::Effect_Matrix(Surface&, Surface&, Surface&, Surface&) {}

void clsMovie::Effect_RndSquare(Surface&, Surface&, Surface&, Surface&) {}

} // namespace tarnwick
