#pragma once
#include "model/framing.h"

namespace vor3::sim {

// The simulated sensor frames as the program does; Auto answers each
// request in the framing it arrived in.
using Framing = model::Framing;

}  // namespace vor3::sim
