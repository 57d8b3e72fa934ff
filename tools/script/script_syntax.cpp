#include "script_syntax.h"

#include <span>

#include "script_text.h"

namespace tarvo::script {
namespace {

enum class TokenKind { kWord, kEquals, kOpen, kClose, kComma };

struct Token {
    TokenKind kind;
    std::string_view text;
};

// Thrown inside the parser only; parseLine turns it into ParseResult::error.
struct SyntaxError {
    std::string message;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isPunctuation(char c) {
    return c == '=' || c == '(' || c == ')' || c == ',' || c == '#';
}

std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    size_t at = 0;
    while (at < line.size()) {
        const char c = line[at];
        if (c == '#') break;
        if (isBlank(c)) {
            ++at;
            continue;
        }
        if (isPunctuation(c)) {
            const TokenKind kind = c == '='   ? TokenKind::kEquals
                                   : c == '(' ? TokenKind::kOpen
                                   : c == ')' ? TokenKind::kClose
                                              : TokenKind::kComma;
            tokens.push_back({kind, line.substr(at, 1)});
            ++at;
            continue;
        }
        const size_t start = at;
        while (at < line.size() && !isBlank(line[at]) && !isPunctuation(line[at])) ++at;
        tokens.push_back({TokenKind::kWord, line.substr(start, at - start)});
    }
    return tokens;
}

std::string quoted(std::string_view text) {
    return quotedText(text);
}

NumberLiteral numberOrThrow(std::string_view word, std::string_view what) {
    const auto number = readNumber(word);
    if (!number)
        throw SyntaxError{"expected a number for " + std::string(what) + ", got " + quoted(word)};
    if (number->isInteger && !fitsInt32(*number)) {
        throw SyntaxError{"integer " + shownText(word) + " is out of 32-bit range"};
    }
    if (number->floatOutOfRange) {
        throw SyntaxError{"float " + shownText(word) + " is out of 32-bit float range"};
    }
    return *number;
}

int32_t integerOrThrow(std::string_view word, std::string_view what) {
    const NumberLiteral number = numberOrThrow(word, what);
    if (!number.isInteger) {
        throw SyntaxError{std::string(what) + " must be an integer, got " + quoted(word)};
    }
    return static_cast<int32_t>(number.integer);
}

// The words of a host statement, read left to right.
class WordReader {
public:
    WordReader(std::span<const Token> tokens, std::string_view statement)
        : tokens_(tokens), statement_(statement) {}

    std::string_view word(std::string_view what) {
        if (at_ == tokens_.size()) {
            throw SyntaxError{std::string(statement_) + ": missing " + std::string(what)};
        }
        const Token& token = tokens_[at_++];
        if (token.kind != TokenKind::kWord) {
            throw SyntaxError{std::string(statement_) + ": expected " + std::string(what) +
                              ", got " + quoted(token.text)};
        }
        return token.text;
    }
    void keyword(std::string_view expected) {
        const std::string_view got = word(expected);
        if (got != expected) {
            throw SyntaxError{std::string(statement_) + ": expected " + std::string(expected) +
                              ", got " + quoted(got)};
        }
    }
    int32_t integer(std::string_view what) { return integerOrThrow(word(what), what); }
    float single(std::string_view what) { return asFloat(numberOrThrow(word(what), what)); }
    double wide(std::string_view what) {
        const NumberLiteral n = numberOrThrow(word(what), what);
        return n.isInteger ? static_cast<double>(n.integer) : n.wide;
    }
    void triple(float out[3], std::string_view what) {
        const std::string base(what);
        out[0] = single(base + " X");
        out[1] = single(base + " Y");
        out[2] = single(base + " Z");
    }
    void end() const {
        if (at_ != tokens_.size()) {
            throw SyntaxError{std::string(statement_) + ": unexpected " +
                              quoted(tokens_[at_].text) + " at the end"};
        }
    }

private:
    std::span<const Token> tokens_;
    std::string_view statement_;
    size_t at_ = 0;
};

OtBodyFigures readFigures(WordReader& words) {
    OtBodyFigures figures{};
    words.keyword("position");
    words.triple(figures.position, "position");
    words.keyword("min");
    words.triple(figures.boundsMin, "min");
    words.keyword("max");
    words.triple(figures.boundsMax, "max");
    words.keyword("radius");
    figures.radius = words.single("radius");
    return figures;
}

// "V11" to "P44", row then column.
std::string matrixEntry(char matrix, int index) {
    return {matrix, static_cast<char>('1' + index / 4), static_cast<char>('1' + index % 4)};
}

Statement parseCamera(WordReader& words) {
    const int32_t camera = words.integer("camera number");
    const std::string_view form = words.word("lookat, matrices or position");
    if (form == "lookat") {
        CameraLookAt s{camera, {}};
        static constexpr const char* kEye[] = {"EX", "EY", "EZ"};
        static constexpr const char* kTarget[] = {"TX", "TY", "TZ"};
        for (int i = 0; i < 3; ++i) s.setup.eye[i] = words.wide(kEye[i]);
        for (int i = 0; i < 3; ++i) s.setup.target[i] = words.wide(kTarget[i]);
        s.setup.fovDegrees = words.wide("FOV");
        s.setup.aspect = words.wide("ASPECT");
        s.setup.zNear = words.wide("ZN");
        s.setup.zFar = words.wide("ZF");
        return s;
    }
    if (form == "matrices") {
        CameraSetMatrices s{camera, {}};
        for (int i = 0; i < 16; ++i) s.matrices.view[i] = words.single(matrixEntry('V', i));
        for (int i = 0; i < 16; ++i) s.matrices.projection[i] = words.single(matrixEntry('P', i));
        return s;
    }
    if (form == "position") {
        CameraSetPosition s{camera, {}};
        words.triple(s.position, "position");
        return s;
    }
    throw SyntaxError{"camera: expected lookat, matrices or position, got " + quoted(form)};
}

Statement parseHostStatement(std::string_view keyword, std::span<const Token> rest) {
    WordReader words(rest, keyword);
    Statement statement;
    if (keyword == "camera") {
        statement = parseCamera(words);
    } else if (keyword == "current-camera") {
        statement = SetCurrentCamera{words.integer("camera number")};
    } else if (keyword == "object") {
        const int32_t object = words.integer("object number");
        statement = DefineObject{object, readFigures(words)};
    } else if (keyword == "limb") {
        const int32_t object = words.integer("object number");
        const int32_t limb = words.integer("limb number");
        if (limb < 0)
            throw SyntaxError{"limb: limb numbers start at 0, got " + std::to_string(limb)};
        statement = DefineLimb{object, limb, readFigures(words)};
    } else {
        statement = WritePlanView{std::string(words.word("file name"))};
    }
    words.end();
    return statement;
}

Argument readArgument(const Token& token) {
    if (token.kind != TokenKind::kWord) {
        throw SyntaxError{"expected an argument, got " + quoted(token.text)};
    }
    Argument argument;
    argument.text = std::string(token.text);
    if (readNumber(token.text)) {
        argument.number = numberOrThrow(token.text, "argument");
        return argument;
    }
    if (!isName(token.text)) {
        throw SyntaxError{"expected a number or a name as argument, got " + quoted(token.text)};
    }
    argument.isName = true;
    return argument;
}

CommandCall parseCommand(std::span<const Token> tokens) {
    CommandCall call;
    size_t at = 0;
    if (tokens.size() >= 2 && tokens[1].kind == TokenKind::kEquals) {
        if (tokens[0].kind != TokenKind::kWord || !isName(tokens[0].text) ||
            readNumber(tokens[0].text)) {
            throw SyntaxError{"cannot bind " + quoted(tokens[0].text) + ": not a name"};
        }
        call.binding = std::string(tokens[0].text);
        at = 2;
    }
    if (at == tokens.size() || tokens[at].kind != TokenKind::kWord) {
        throw SyntaxError{"expected a command"};
    }
    call.command = std::string(tokens[at].text);
    if (!isName(call.command)) throw SyntaxError{"expected a command, got " + quoted(call.command)};
    ++at;
    if (at == tokens.size() || tokens[at].kind != TokenKind::kOpen) {
        throw SyntaxError{"expected '(' after " + shownText(call.command)};
    }
    ++at;
    const bool empty = at < tokens.size() && tokens[at].kind == TokenKind::kClose;
    while (!empty) {
        if (at == tokens.size()) throw SyntaxError{"missing ')'"};
        call.arguments.push_back(readArgument(tokens[at++]));
        if (at == tokens.size()) throw SyntaxError{"missing ')'"};
        if (tokens[at].kind == TokenKind::kClose) break;
        if (tokens[at].kind != TokenKind::kComma) {
            throw SyntaxError{"expected ',' or ')', got " + quoted(tokens[at].text)};
        }
        ++at;
    }
    ++at;
    if (at != tokens.size())
        throw SyntaxError{"unexpected " + quoted(tokens[at].text) + " after ')'"};
    return call;
}

bool isHostKeyword(std::string_view word) {
    return word == "camera" || word == "current-camera" || word == "object" || word == "limb" ||
           word == "svg";
}

}  // namespace

bool isName(std::string_view word) {
    auto letter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    if (word.empty() || !letter(word.front())) return false;
    for (char c : word) {
        if (!letter(c) && !(c >= '0' && c <= '9')) return false;
    }
    return true;
}

ParseResult parseLine(std::string_view line) {
    const std::vector<Token> tokens = tokenize(line);
    if (tokens.empty()) return {Blank{}, {}};
    try {
        // A host keyword followed by '=' or '(' is a name or a command, not a statement.
        const bool hostStatement =
            tokens[0].kind == TokenKind::kWord && isHostKeyword(tokens[0].text) &&
            (tokens.size() == 1 ||
             (tokens[1].kind != TokenKind::kEquals && tokens[1].kind != TokenKind::kOpen));
        if (hostStatement) {
            return {parseHostStatement(tokens[0].text, std::span(tokens).subspan(1)), {}};
        }
        return {parseCommand(tokens), {}};
    } catch (const SyntaxError& error) {
        return {Blank{}, error.message};
    }
}

}  // namespace tarvo::script
