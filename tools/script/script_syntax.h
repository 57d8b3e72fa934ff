// One line of a culling script taken apart: a host statement, a command
// statement, or nothing (blank or comment). Parsing checks only the shape of
// the line; names and commands are resolved when the line runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "camera_math.h"
#include "tarvo/host_api.h"
#include "text/number_text.h"

namespace tarvo::script {

struct Blank {};

struct CameraLookAt {
    int32_t camera;
    LookAt setup;
};

struct CameraSetMatrices {
    int32_t camera;
    CameraMatrices matrices;
};

struct CameraSetPosition {
    int32_t camera;
    float position[3];
};

struct SetCurrentCamera {
    int32_t camera;
};

struct DefineObject {
    int32_t object;
    OtBodyFigures figures;
};

struct DefineLimb {
    int32_t object;
    int32_t limb;
    OtBodyFigures figures;
};

struct WritePlanView {
    std::string file;
};

// An argument as written: a literal, or a name to look up when the line runs.
struct Argument {
    std::string text;
    bool isName = false;
    NumberLiteral number;  // when !isName
};

struct CommandCall {
    std::string binding;  // empty when the result is not bound
    std::string command;
    std::vector<Argument> arguments;
};

using Statement =
    std::variant<Blank, CameraLookAt, CameraSetMatrices, CameraSetPosition, SetCurrentCamera,
                 DefineObject, DefineLimb, WritePlanView, CommandCall>;

struct ParseResult {
    Statement statement;
    std::string error;  // non-empty when the line is malformed
};

ParseResult parseLine(std::string_view line);

bool isName(std::string_view word);

}  // namespace tarvo::script
