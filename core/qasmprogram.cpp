#include "core/qasmprogram.h"

#include "core/qasmgate.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

namespace amplex {

namespace {

// Deeper angle expressions are refused before the recursion can exhaust the stack.
constexpr int MaxExpressionDepth = 200;
// Beyond these a file is not a circuit anyone wrote, and reading on would only take memory.
constexpr int MaxOperations = 1 << 20;
constexpr std::size_t MaxFileBytes = 64u << 20;
constexpr int MaxBits = 1 << 20;

enum class Kind { Identifier, Number, String, Symbol, End };

struct Token {
    Kind kind = Kind::End;
    std::string text; // a string's contents without its quotes
    int line = 1;
    int column = 1;
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Splits the source into tokens, each with the place it starts at.
class Lexer {
public:
    explicit Lexer(std::string_view source) : s_(source) {}

    std::optional<QasmError> run(std::vector<Token>& tokens) {
        while (true) {
            skipBlanksAndComments();
            if (error_) {
                return error_;
            }
            Token token;
            token.line = line_;
            token.column = column_;
            if (pos_ >= s_.size()) {
                tokens.push_back(std::move(token));
                return std::nullopt;
            }
            if (!lexToken(token)) {
                return error_;
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    char at(std::size_t offset = 0) const {
        return pos_ + offset < s_.size() ? s_[pos_ + offset] : '\0';
    }
    // A column counts characters: the continuation bytes of UTF-8 add nothing.
    void advance() {
        const auto c = static_cast<unsigned char>(s_[pos_++]);
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column_;
        }
    }
    void fail(int line, int column, std::string message) {
        error_ = QasmError{line, column, std::move(message)};
    }

    void skipBlanksAndComments() {
        while (pos_ < s_.size()) {
            const char c = at();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                advance();
            } else if (c == '/' && at(1) == '/') {
                while (pos_ < s_.size() && at() != '\n') {
                    advance();
                }
            } else if (c == '/' && at(1) == '*') {
                const int line = line_;
                const int column = column_;
                advance();
                advance();
                while (pos_ < s_.size() && !(at() == '*' && at(1) == '/')) {
                    advance();
                }
                if (pos_ >= s_.size()) {
                    fail(line, column, "unterminated comment");
                    return;
                }
                advance();
                advance();
            } else {
                return;
            }
        }
    }

    bool lexToken(Token& token) {
        const char c = at();
        const std::size_t start = pos_;
        if (isLetter(c)) {
            token.kind = Kind::Identifier;
            while (isLetter(at()) || isDigit(at())) {
                advance();
            }
            token.text = s_.substr(start, pos_ - start);
            return true;
        }
        // π and τ in UTF-8.
        if (c == '\xCF' && (at(1) == '\x80' || at(1) == '\x84')) {
            token.kind = Kind::Identifier;
            advance();
            advance();
            token.text = s_.substr(start, 2);
            return true;
        }
        if (isDigit(c) || (c == '.' && isDigit(at(1)))) {
            return lexNumber(token);
        }
        if (c == '"' || c == '\'') {
            token.kind = Kind::String;
            advance();
            while (pos_ < s_.size() && at() != c && at() != '\n') {
                advance();
            }
            if (at() != c) {
                fail(token.line, token.column, "unterminated string");
                return false;
            }
            token.text = s_.substr(start + 1, pos_ - start - 1);
            advance();
            return true;
        }
        if (c == '-' && at(1) == '>') {
            token.kind = Kind::Symbol;
            token.text = "->";
            advance();
            advance();
            return true;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7F) {
            token.kind = Kind::Symbol;
            token.text = std::string(1, c);
            advance();
            return true;
        }
        char message[48];
        std::snprintf(message, sizeof message, "unexpected character (byte 0x%02X)", byte);
        fail(token.line, token.column, message);
        return false;
    }

    bool lexNumber(Token& token) {
        const std::size_t start = pos_;
        token.kind = Kind::Number;
        while (isDigit(at())) {
            advance();
        }
        if (at() == '.') {
            advance();
            while (isDigit(at())) {
                advance();
            }
        }
        if (at() == 'e' || at() == 'E') {
            advance();
            if (at() == '+' || at() == '-') {
                advance();
            }
            if (!isDigit(at())) {
                fail(token.line, token.column, "malformed number");
                return false;
            }
            while (isDigit(at())) {
                advance();
            }
        }
        if (isLetter(at()) || at() == '.') {
            fail(token.line, token.column, "malformed number");
            return false;
        }
        token.text = s_.substr(start, pos_ - start);
        return true;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
    std::optional<QasmError> error_;
};

// A register's qubits or bits as one operand names them: one, all of them, or a slice.
struct Operand {
    std::vector<int> indexes;
    bool single = true;
    const Token* at = nullptr;
};

// What each statement needs: the first error wins, and every step returns false after it.
class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    QasmProgram run() {
        while (peek().kind != Kind::End && statement()) {
            ++statements_;
        }
        if (!error_ && qubitName_.empty()) {
            fail(peek(), "no qubit register is declared");
        }
        QasmProgram program;
        if (error_) {
            program.error = std::move(error_);
        } else {
            program.qubitCount = qubitCount_;
            program.operations = std::move(operations_);
        }
        return program;
    }

private:
    const Token& peek(std::size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    const Token& next() {
        const Token& token = peek();
        if (pos_ + 1 < tokens_.size()) {
            ++pos_;
        }
        return token;
    }
    static bool isSymbol(const Token& token, std::string_view symbol) {
        return token.kind == Kind::Symbol && token.text == symbol;
    }
    static std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }
    static std::string describe(const Token& token) {
        switch (token.kind) {
        case Kind::End:
            return "the end of the file";
        case Kind::String:
            return "the string " + quoted(token.text);
        default:
            return quoted(token.text);
        }
    }
    bool fail(const Token& at, std::string message) {
        if (!error_) {
            error_ = QasmError{at.line, at.column, std::move(message)};
        }
        return false;
    }
    bool expect(std::string_view symbol, std::string_view what = {}) {
        if (isSymbol(peek(), symbol)) {
            next();
            return true;
        }
        return fail(peek(), "expected " + quoted(symbol) + (what.empty() ? "" : " ") +
                                std::string(what) + ", found " + describe(peek()));
    }
    bool expectEnd() { return expect(";", "at the end of the statement"); }

    bool statement() {
        const Token& first = peek();
        if (first.kind != Kind::Identifier) {
            return fail(first, "expected a statement, found " + describe(first));
        }
        const std::string& word = first.text;
        if (word == "OPENQASM") {
            return version();
        }
        if (word == "include") {
            return include();
        }
        if (word == "qreg" || word == "creg") {
            next();
            const Token& name = peek();
            int size = 0;
            return identifier(name, "register name") && expect("[") &&
                   integer(size, "as the register's size") && expect("]") && expectEnd() &&
                   declare(first, name, size, word == "qreg");
        }
        if (word == "qubit" || word == "bit") {
            next();
            int size = 1;
            if (isSymbol(peek(), "[")) {
                if (!(expect("[") && integer(size, "as the register's size") && expect("]"))) {
                    return false;
                }
            }
            const Token& name = peek();
            return identifier(name, "register name") && expectEnd() &&
                   declare(first, name, size, word == "qubit");
        }
        if (word == "barrier") {
            next();
            Operand operand;
            while (!isSymbol(peek(), ";")) {
                if (!qubitOperand(operand) || (!isSymbol(peek(), ";") && !expect(","))) {
                    return false;
                }
            }
            return expectEnd();
        }
        if (word == "measure") {
            next();
            Operand qubits;
            if (!qubitOperand(qubits)) {
                return false;
            }
            if (isSymbol(peek(), "->")) {
                next();
                Operand bits;
                if (!bitOperand(bits) || !sameSize(qubits, bits)) {
                    return false;
                }
            }
            return expectEnd() && measure(qubits);
        }
        if (bitSizes_.count(word)) {
            // c[j] = measure q[i];
            Operand bits;
            Operand qubits;
            if (!bitOperand(bits) || !expect("=")) {
                return false;
            }
            if (!(peek().kind == Kind::Identifier && peek().text == "measure")) {
                return fail(peek(), "expected \"measure\", found " + describe(peek()));
            }
            next();
            return qubitOperand(qubits) && sameSize(qubits, bits) && expectEnd() && measure(qubits);
        }
        return gateCall();
    }

    bool version() {
        const Token& keyword = next();
        if (statements_ > 0) {
            return fail(keyword, "\"OPENQASM\" must be the first statement");
        }
        const Token& number = peek();
        if (number.kind != Kind::Number) {
            return fail(number, "expected a version number, found " + describe(number));
        }
        if (number.text != "2" && number.text != "3" && number.text.rfind("2.", 0) != 0 &&
            number.text.rfind("3.", 0) != 0) {
            return fail(number, "OpenQASM " + number.text + " is not supported (2 or 3 is)");
        }
        next();
        return expectEnd();
    }

    bool include() {
        next();
        const Token& file = peek();
        if (file.kind != Kind::String) {
            return fail(file, "expected a file name in quotes, found " + describe(file));
        }
        if (file.text != "qelib1.inc" && file.text != "stdgates.inc") {
            return fail(file, "cannot include " + quoted(file.text) +
                                  ": only the standard library (qelib1.inc, stdgates.inc)");
        }
        next();
        return expectEnd();
    }

    bool identifier(const Token& token, const char* what) {
        if (token.kind != Kind::Identifier) {
            return fail(token, std::string("expected a ") + what + ", found " + describe(token));
        }
        next();
        return true;
    }

    // A whole number from 0 to 10^9 (enough for any size or index this can run).
    bool integer(int& value, const char* what) {
        const Token& token = peek();
        long long parsed = -1;
        const char* begin = token.text.data();
        const char* end = begin + token.text.size();
        if (token.kind == Kind::Number) {
            const auto result = std::from_chars(begin, end, parsed);
            if (result.ptr != end || result.ec != std::errc()) {
                parsed = -1;
            }
        }
        if (parsed < 0 || parsed > 1'000'000'000) {
            return fail(token, std::string("expected a whole number ") + what + ", found " +
                                   describe(token));
        }
        value = static_cast<int>(parsed);
        next();
        return true;
    }

    bool declare(const Token& keyword, const Token& name, int size, bool qubits) {
        if (name.text == qubitName_ || bitSizes_.count(name.text)) {
            return fail(name, quoted(name.text) + " is declared already");
        }
        if (QasmGate::find(name.text) || name.text == "barrier" || name.text == "pi") {
            return fail(name, quoted(name.text) + " names a gate or keyword");
        }
        if (!qubits) {
            if (size < 1 || size > MaxBits) {
                return fail(name, "a bit register holds 1 to " + std::to_string(MaxBits) + " bits");
            }
            bitSizes_[name.text] = size;
            return true;
        }
        if (!qubitName_.empty()) {
            return fail(keyword, "a second qubit register: Amplex runs one register of up to " +
                                     std::to_string(QasmProgram::MaxQubits) + " qubits");
        }
        if (size < 1 || size > QasmProgram::MaxQubits) {
            return fail(name, "a qubit register holds 1 to " +
                                  std::to_string(QasmProgram::MaxQubits) + " qubits, not " +
                                  std::to_string(size));
        }
        qubitName_ = name.text;
        qubitCount_ = size;
        return true;
    }

    // name, name[i] or name[a:b] of a register of the given size.
    bool operand(Operand& out, int size, const char* unit) {
        out = Operand{};
        out.at = &next();
        if (!isSymbol(peek(), "[")) {
            out.single = false;
            for (int k = 0; k < size; ++k) {
                out.indexes.push_back(k);
            }
            return true;
        }
        next();
        const Token& firstToken = peek();
        int first = 0;
        if (!integer(first, "as the index")) {
            return false;
        }
        int last = first;
        if (isSymbol(peek(), ":")) {
            next();
            out.single = false;
            if (!integer(last, "as the slice's end")) {
                return false;
            }
        }
        if (first > last) {
            return fail(firstToken, "the slice " + std::to_string(first) + ":" +
                                        std::to_string(last) + " runs backwards");
        }
        if (last >= size) {
            return fail(firstToken, out.at->text + "[" + std::to_string(last) +
                                        "] is outside the register of " + std::to_string(size) +
                                        " " + unit);
        }
        for (int k = first; k <= last; ++k) {
            out.indexes.push_back(k);
        }
        return expect("]");
    }

    bool qubitOperand(Operand& out) {
        const Token& name = peek();
        if (name.kind != Kind::Identifier) {
            return fail(name, "expected qubits, found " + describe(name));
        }
        if (name.text != qubitName_) {
            if (bitSizes_.count(name.text)) {
                return fail(name, quoted(name.text) + " holds bits, not qubits");
            }
            return fail(name, qubitName_.empty() ? "no qubit register is declared"
                                                 : "unknown qubit register " + quoted(name.text));
        }
        return operand(out, qubitCount_, "qubits");
    }

    bool bitOperand(Operand& out) {
        const Token& name = peek();
        const auto found = bitSizes_.find(name.text);
        if (name.kind != Kind::Identifier || found == bitSizes_.end()) {
            return fail(name, "expected a bit register, found " + describe(name));
        }
        return operand(out, found->second, "bits");
    }

    bool sameSize(const Operand& qubits, const Operand& bits) {
        if (qubits.indexes.size() != bits.indexes.size()) {
            return fail(*bits.at, "measure needs as many bits as qubits");
        }
        return true;
    }

    bool add(Operation operation) {
        if (operations_.size() >= MaxOperations) {
            return fail(peek(), "more than " + std::to_string(MaxOperations) + " operations");
        }
        operations_.push_back(std::move(operation));
        return true;
    }

    bool measure(const Operand& qubits) { return add({"measure", qubits.indexes, {}, {}}); }

    bool gateCall() {
        const Token& name = next();
        const QasmGate* gate = QasmGate::find(name.text);
        if (!gate || gate->qubits == 0) {
            return fail(name, unknownText(name.text));
        }
        std::vector<double> angles;
        if (isSymbol(peek(), "(")) {
            next();
            for (bool more = !isSymbol(peek(), ")"); more;) {
                if (!angle(angles.emplace_back())) {
                    return false;
                }
                more = isSymbol(peek(), ",");
                if (more) {
                    next();
                }
            }
            if (!isSymbol(peek(), ")")) {
                return fail(peek(),
                            "expected \",\" or \")\" after the angle, found " + describe(peek()));
            }
            next();
        }
        if (static_cast<int>(angles.size()) != gate->angles) {
            return fail(name, quoted(name.text) + " takes " + plural(gate->angles, "angle") +
                                  ", not " + std::to_string(angles.size()));
        }
        std::vector<Operand> operands;
        while (!isSymbol(peek(), ";")) {
            if (!operands.empty() && !isSymbol(peek(), ",")) {
                return fail(peek(),
                            "expected \",\" or \";\" after the qubits, found " + describe(peek()));
            }
            if (!operands.empty()) {
                next();
            }
            if (!qubitOperand(operands.emplace_back())) {
                return false;
            }
        }
        if (static_cast<int>(operands.size()) != gate->qubits) {
            return fail(name, quoted(name.text) + " acts on " + plural(gate->qubits, "qubit") +
                                  ", not " + std::to_string(operands.size()));
        }
        next();
        // Registers and slices repeat the gate once per position, all of the same length.
        std::size_t width = 1;
        for (const Operand& o : operands) {
            if (!o.single) {
                if (width != 1 && o.indexes.size() != width) {
                    return fail(*o.at, "the registers and slices of a gate differ in length");
                }
                width = o.indexes.size();
            }
        }
        for (std::size_t k = 0; k < width; ++k) {
            Operation operation{std::string(gate->name), {}, angles, {}};
            for (const Operand& o : operands) {
                const int qubit = o.indexes[o.single ? 0 : k];
                for (int earlier : operation.qubits) {
                    if (earlier == qubit) {
                        return fail(*o.at, quoted(name.text) + " needs distinct qubits, " +
                                               qubitName_ + "[" + std::to_string(qubit) +
                                               "] appears twice");
                    }
                }
                operation.qubits.push_back(qubit);
            }
            if (!add(std::move(operation))) {
                return false;
            }
        }
        return true;
    }

    static std::string plural(int n, const char* noun) {
        return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
    }

    static std::string unknownText(const std::string& word) {
        if (word == "gate" || word == "opaque" || word == "def") {
            return "defining gates is not supported";
        }
        if (word == "if" || word == "for" || word == "while") {
            return "control flow is not supported";
        }
        if (word == "ctrl" || word == "negctrl" || word == "inv" || word == "pow") {
            return "gate modifiers are not supported";
        }
        return quoted(word) + " is not a gate Amplex runs";
    }

    // An angle in radians, and finite.
    bool angle(double& value) {
        const Token& start = peek();
        if (!sum(value, 0)) {
            return false;
        }
        if (!std::isfinite(value)) {
            return fail(start, "the angle is not a finite number");
        }
        return true;
    }
    bool sum(double& value, int depth) {
        if (!product(value, depth)) {
            return false;
        }
        while (isSymbol(peek(), "+") || isSymbol(peek(), "-")) {
            const bool plus = next().text == "+";
            double right = 0;
            if (!product(right, depth)) {
                return false;
            }
            value = plus ? value + right : value - right;
        }
        return true;
    }
    bool product(double& value, int depth) {
        if (!unary(value, depth)) {
            return false;
        }
        while (isSymbol(peek(), "*") || isSymbol(peek(), "/")) {
            const bool times = next().text == "*";
            double right = 0;
            if (!unary(right, depth)) {
                return false;
            }
            value = times ? value * right : value / right;
        }
        return true;
    }
    bool unary(double& value, int depth) {
        if (depth > MaxExpressionDepth) {
            return fail(peek(), "the angle is nested too deeply");
        }
        if (isSymbol(peek(), "-") || isSymbol(peek(), "+")) {
            const bool minus = next().text == "-";
            if (!unary(value, depth + 1)) {
                return false;
            }
            value = minus ? -value : value;
            return true;
        }
        const Token& token = peek();
        if (isSymbol(token, "(")) {
            next();
            return sum(value, depth + 1) && expect(")", "to close the parenthesis");
        }
        if (token.kind == Kind::Number) {
            const char* begin = token.text.data();
            const char* end = begin + token.text.size();
            const auto result = std::from_chars(begin, end, value);
            if (result.ptr != end || result.ec != std::errc()) {
                return fail(token, "the number " + token.text + " is out of range");
            }
            next();
            return true;
        }
        if (token.kind == Kind::Identifier) {
            if (token.text == "pi" || token.text == "\xCF\x80") {
                value = std::numbers::pi;
            } else if (token.text == "tau" || token.text == "\xCF\x84") {
                value = 2 * std::numbers::pi;
            } else {
                return fail(token, "unknown name " + quoted(token.text) + " in an angle");
            }
            next();
            return true;
        }
        return fail(token, "expected an angle, found " + describe(token));
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int statements_ = 0;
    std::optional<QasmError> error_;
    std::string qubitName_;
    int qubitCount_ = 0;
    std::map<std::string, int, std::less<>> bitSizes_;
    std::vector<Operation> operations_;
};

} // namespace

QasmProgram QasmProgram::parse(std::string_view source) {
    std::vector<Token> tokens;
    if (std::optional<QasmError> error = Lexer(source).run(tokens)) {
        QasmProgram program;
        program.error = std::move(error);
        return program;
    }
    return Parser(std::move(tokens)).run();
}

QasmProgram QasmProgram::load(const std::filesystem::path& file) {
    QasmProgram program;
    // Read in blocks rather than by the file's size, so that a pipe (/dev/stdin) reads too.
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        program.error = QasmError{0, 0, file.string() + ": " + std::strerror(errno)};
        return program;
    }
    std::string source;
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        source.append(block, static_cast<std::size_t>(in.gcount()));
        if (source.size() > MaxFileBytes) {
            program.error = QasmError{0, 0, file.string() + ": larger than 64 MB"};
            return program;
        }
    }
    if (in.bad()) {
        program.error = QasmError{0, 0, file.string() + ": cannot be read"};
        return program;
    }
    return parse(source);
}

} // namespace amplex
