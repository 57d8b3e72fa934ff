// The exports compiled a second time for the recording flavour, under link
// names of their own: an assembler name given at the first declaration holds
// for the definition that follows, so the code is the shipped code, unchanged,
// and the public names are free for the recording layer.
#include <stdint.h>

#include "commands/record/export_list.h"

#define TARVO_LABEL_TEXT(prefix) #prefix
#define TARVO_LABEL(prefix) TARVO_LABEL_TEXT(prefix)
#define TARVO_UNRECORDED_NAME(result, name, parameters, arguments) \
    extern "C" result name parameters __asm__(                     \
        TARVO_LABEL(__USER_LABEL_PREFIX__) "tarvo_unrecorded_" #name);
TARVO_EXPORTS(TARVO_UNRECORDED_NAME)

#include "commands/exports.cpp"
