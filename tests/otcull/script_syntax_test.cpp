#include "script_syntax.h"

#include <gtest/gtest.h>

namespace tarvo::script {
namespace {

TEST(ScriptSyntax, BlankAndCommentLinesAreNothing) {
    for (const char* line : {"", "   \t ", "# a comment", "   # indented comment", "\r"}) {
        const ParseResult r = parseLine(line);
        EXPECT_TRUE(r.error.empty()) << line;
        EXPECT_TRUE(std::holds_alternative<Blank>(r.statement)) << line;
    }
}

TEST(ScriptSyntax, CallsReadTheSameWithOrWithoutBlanks) {
    for (const char* line : {"box=OT_CreateBox(0,1,-2.5,3,inf,nan,6)",
                             "  box =  OT_CreateBox ( 0 , 1 , -2.5 , 3 , inf , nan , 6 )  # ok",
                             "box\t=\tOT_CreateBox(0,\t1,-2.5,3,inf,nan,6)\r"}) {
        SCOPED_TRACE(line);
        const ParseResult r = parseLine(line);
        ASSERT_EQ(r.error, "");
        const auto& call = std::get<CommandCall>(r.statement);
        EXPECT_EQ(call.binding, "box");
        EXPECT_EQ(call.command, "OT_CreateBox");
        ASSERT_EQ(call.arguments.size(), 7u);
        EXPECT_TRUE(call.arguments[0].number.isInteger);
        EXPECT_FALSE(call.arguments[2].number.isInteger);
        EXPECT_EQ(call.arguments[2].number.single, -2.5f);
        EXPECT_EQ(call.arguments[6].text, "6");
    }
}

TEST(ScriptSyntax, EmptyParenthesesAndNameArguments) {
    const auto empty = std::get<CommandCall>(parseLine("OT_CullAll()").statement);
    EXPECT_TRUE(empty.arguments.empty());
    EXPECT_TRUE(empty.binding.empty());
    const auto named = std::get<CommandCall>(parseLine("OT_Cull( start_2 )").statement);
    ASSERT_EQ(named.arguments.size(), 1u);
    EXPECT_TRUE(named.arguments[0].isName);
    EXPECT_EQ(named.arguments[0].text, "start_2");
}

TEST(ScriptSyntax, HostKeywordsAreNamesWhenCalledOrBound) {
    EXPECT_TRUE(std::holds_alternative<CommandCall>(
        parseLine("camera = OT_CreatePoint(0,1,2,3)").statement));
    EXPECT_TRUE(std::holds_alternative<CommandCall>(parseLine("object(1)").statement));
}

TEST(ScriptSyntax, HostStatements) {
    const auto lookAt = std::get<CameraLookAt>(
        parseLine("camera 2 lookat 1 2 3  4 5 6.5  75 1.5 0.1 100").statement);
    EXPECT_EQ(lookAt.camera, 2);
    EXPECT_EQ(lookAt.setup.target[2], 6.5);
    EXPECT_EQ(lookAt.setup.zNear, 0.1);  // kept as a double for the double-precision set-up

    std::string matrices = "camera 1 matrices";
    for (int i = 0; i < 32; ++i) matrices += " " + std::to_string(i);
    const auto m = std::get<CameraSetMatrices>(parseLine(matrices).statement);
    EXPECT_EQ(m.matrices.view[15], 15.0f);
    EXPECT_EQ(m.matrices.projection[0], 16.0f);

    const auto limb = std::get<DefineLimb>(
        parseLine("limb 4 2 position 1 2 3 min -1 -1 -1 max 1 1 1 radius 1.75").statement);
    EXPECT_EQ(limb.object, 4);
    EXPECT_EQ(limb.limb, 2);
    EXPECT_EQ(limb.figures.boundsMin[1], -1.0f);
    EXPECT_EQ(limb.figures.radius, 1.75f);

    EXPECT_EQ(std::get<SetCurrentCamera>(parseLine("current-camera -3").statement).camera, -3);
    EXPECT_EQ(std::get<WritePlanView>(parseLine("svg out/plan.svg").statement).file,
              "out/plan.svg");
}

struct MalformedCase {
    const char* line;
    const char* error;
};

TEST(ScriptSyntax, MalformedLinesSayWhatIsWrong) {
    const MalformedCase cases[] = {
        {"OT_CullAll", "expected '(' after OT_CullAll"},
        {"OT_CullAll(", "missing ')'"},
        {"OT_Cull(1", "missing ')'"},
        {"OT_Cull(1,)", "expected an argument, got ')'"},
        {"OT_Cull(1 2)", "expected ',' or ')', got '2'"},
        {"OT_Cull(1) 2", "unexpected '2' after ')'"},
        {"OT_Cull(1.2.3)", "expected a number or a name as argument, got '1.2.3'"},
        {"OT_Cull(4294967296)", "integer 4294967296 is out of 32-bit range"},
        {"OT_TestPoint(1e39, 0, 0)", "float 1e39 is out of 32-bit float range"},
        {"x = ", "expected a command"},
        {"3 = OT_CullAll()", "cannot bind '3': not a name"},
        {"inf = OT_CreatePoint(0, 1, 2, 3)", "cannot bind 'inf': not a name"},
        {"= OT_CullAll()", "expected a command"},
        {"camera 1 lookat 0 0 0 0 0 1 90 1 1", "camera: missing ZF"},
        {"camera 1 lookat 0 0 0 0 0 1 90 1 1 100 7", "camera: unexpected '7' at the end"},
        {"camera 1.5 position 0 0 0", "camera number must be an integer, got '1.5'"},
        {"camera 1 zoom 2", "camera: expected lookat, matrices or position, got 'zoom'"},
        {"camera 1 position 0 y 0", "expected a number for position Y, got 'y'"},
        {"current-camera", "current-camera: missing camera number"},
        {"object 1 position 0 0 0 min 0 0 0 max 1 1 1", "object: missing radius"},
        {"object 1 position 0 0 0 max 1 1 1 min 0 0 0 radius 1", "object: expected min, got 'max'"},
        {"limb 1 -1 position 0 0 0 min 0 0 0 max 1 1 1 radius 1",
         "limb: limb numbers start at 0, got -1"},
        {"svg", "svg: missing file name"},
    };
    for (const MalformedCase& c : cases) EXPECT_EQ(parseLine(c.line).error, c.error) << c.line;
}

}  // namespace
}  // namespace tarvo::script
