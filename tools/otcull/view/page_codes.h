// The numbers the page's data is written in (volume kinds, roles, node
// states, portal decisions), by name, taken from the enums that define
// them: the page's script reads this table instead of keeping copies, so
// that reordering an enum cannot silently change what the page draws.
#pragma once

#include "view/json_out.h"

namespace tarvo {

// {"kind":{"BOX":1,...},"role":{...},...}
void writePageCodes(JsonOut& json);

}  // namespace tarvo
