#pragma once
// The model checks of the program: the library's rules, refused with the program's messages.
#include <vector>

#include "records/streams.h"
#include "vemlari/model.h"

namespace vemlari {

// A layer rule refused writes the program's INDAT refusal to console and log; a half-space
// rule its console message. Both end the run (RunStop).
Model check_model(Streams& st, std::vector<Layer> layers);

}  // namespace vemlari
