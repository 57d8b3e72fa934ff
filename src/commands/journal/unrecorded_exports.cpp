// The exports compiled a second time for the recording flavour, under link
// names of their own: an assembler name given at the first declaration holds
// for the definition that follows, so the code is the shipped code, unchanged,
// and the public names are free for the recording layer.
#include "commands/command_table.h"

#define TARVO_LABEL_TEXT(prefix) #prefix
#define TARVO_LABEL(prefix) TARVO_LABEL_TEXT(prefix)
#define TARVO_UNRECORDED_NAME(id, exportName, scriptName, hostLink, reads, result, parameters, \
                              reference)                                                       \
    extern "C" TARVO_FUNCTION_TYPE(result, parameters)                                         \
        exportName __asm__(TARVO_LABEL(__USER_LABEL_PREFIX__) "tarvo_unrecorded_" #exportName);
TARVO_COMMANDS(TARVO_UNRECORDED_NAME)

#include "commands/exports.cpp"
