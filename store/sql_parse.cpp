// Parsing a SELECT statement into its table, projection, condition tree and
// ORDER BY keys.
#include <cctype>
#include <memory>
#include <utility>

#include "bytes.h"
#include "sql_internal.h"
#include "text.h"

namespace store {

[[noreturn]] void refuseStatement(std::string_view statement, const std::string& why) {
    throw StoreError("La instrucción SQL \"" + std::string(statement) + "\" no es válida: " + why + ".");
}

namespace {

// White space between the words of a statement.
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view withoutTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// ---- Tokens ----------------------------------------------------------------

enum class Tok { Word, Number, Text, Op, LParen, RParen, Comma, Star, End };

struct Token {
    Tok kind;
    std::string text;  // Word: as written; Text: contents; Number: digits; Op: operator
    std::size_t at = 0;
};

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && isSpace(s[i]))
            ++i;
        if (i >= s.size())
            break;
        const std::size_t start = i;
        const char c = s[i];
        const auto uc = static_cast<unsigned char>(c);
        if (std::isalpha(uc) || c == '_') {
            while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_'))
                ++i;
            out.push_back({Tok::Word, std::string(s.substr(start, i - start)), start});
        } else if (std::isdigit(uc)
                   || ((c == '-' || c == '.') && i + 1 < s.size()
                       && (std::isdigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '.'))) {
            ++i;
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'))
                ++i;
            if (i < s.size() && (std::isalpha(static_cast<unsigned char>(s[i])) || s[i] == '_'))
                refuseStatement(s, "número mal escrito en la posición " + std::to_string(start + 1));
            out.push_back({Tok::Number, std::string(s.substr(start, i - start)), start});
        } else if (c == '\'' || c == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == c) {
                    if (i + 1 < s.size() && s[i + 1] == c) {  // doubled quote
                        text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += s[i++];
            }
            if (!closed)
                refuseStatement(s, "falta la comilla que cierra el texto");
            out.push_back({Tok::Text, std::move(text), start});
        } else if (c == '=') {
            ++i;
            out.push_back({Tok::Op, "=", start});
        } else if (c == '<') {
            ++i;
            if (i < s.size() && (s[i] == '>' || s[i] == '='))
                ++i;
            out.push_back({Tok::Op, std::string(s.substr(start, i - start)), start});
        } else if (c == '>') {
            ++i;
            if (i < s.size() && s[i] == '=')
                ++i;
            out.push_back({Tok::Op, std::string(s.substr(start, i - start)), start});
        } else if (c == '(') {
            ++i;
            out.push_back({Tok::LParen, "(", start});
        } else if (c == ')') {
            ++i;
            out.push_back({Tok::RParen, ")", start});
        } else if (c == ',') {
            ++i;
            out.push_back({Tok::Comma, ",", start});
        } else if (c == '*') {
            ++i;
            out.push_back({Tok::Star, "*", start});
        } else if (c == ';') {
            // A closing semicolon is tolerated; anything after it is not.
            ++i;
            while (i < s.size() && isSpace(s[i]))
                ++i;
            if (i < s.size())
                refuseStatement(s, "hay texto después del punto y coma");
            break;
        } else {
            refuseStatement(s, "carácter no admitido '" + std::string(1, c) + "' en la posición "
                                   + std::to_string(start + 1));
        }
    }
    out.push_back({Tok::End, "", s.size()});
    return out;
}

// Words that cannot name a column or a table: ours, and the SQL that we do
// not evaluate (so that "a LIKE 'x'" is refused, not misread).
bool isReserved(const std::string& upperWord) {
    static const char* const words[] = {"SELECT",   "FROM", "WHERE", "ORDER", "BY",   "AND",   "OR",      "NOT",
                                        "NULL",     "ASC",  "DESC",  "LIKE",  "IN",   "IS",    "BETWEEN", "JOIN",
                                        "INNER",    "LEFT", "RIGHT", "OUTER", "ON",   "GROUP", "HAVING",  "UNION",
                                        "DISTINCT", "AS",   "TOP",   "LIMIT", "INTO", "ALL",   "EXISTS"};
    for (const char* w : words)
        if (upperWord == w)
            return true;
    return false;
}

using NodePtr = std::shared_ptr<const Statement::Node>;
using Node = Statement::Node;

class Parser {
public:
    Parser(std::string_view text, std::vector<Token> tokens) : text_(text), toks_(std::move(tokens)) {}

    const Token& peek() const { return toks_[pos_]; }
    // The token, and on to the next one (End stays put).
    const Token& take() { return toks_[pos_ == toks_.size() - 1 ? pos_ : pos_++]; }

    bool atWord(const char* upperWord) const {
        return peek().kind == Tok::Word && upperAscii(peek().text) == upperWord;
    }

    void expectWord(const char* upperWord) {
        if (!atWord(upperWord))
            refuseStatement(text_, std::string("se esperaba ") + upperWord + near());
        take();
    }

    std::string near() const {
        if (peek().kind == Tok::End)
            return " y la instrucción terminó";
        return " en la posición " + std::to_string(peek().at + 1) + " (\"" + peek().text + "\")";
    }

    std::string name(const char* what) {
        if (peek().kind != Tok::Word || isReserved(upperAscii(peek().text)))
            refuseStatement(text_, std::string("se esperaba ") + what + near());
        return take().text;
    }

    NodePtr orExpr() {
        NodePtr left = andExpr();
        while (atWord("OR")) {
            take();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Or;
            n->left = left;
            n->right = andExpr();
            left = n;
        }
        return left;
    }

    NodePtr andExpr() {
        NodePtr left = primary();
        while (atWord("AND")) {
            take();
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::And;
            n->left = left;
            n->right = primary();
            left = n;
        }
        return left;
    }

    NodePtr primary() {
        if (peek().kind == Tok::LParen) {
            take();
            NodePtr inner = orExpr();
            if (peek().kind != Tok::RParen)
                refuseStatement(text_, "falta el paréntesis que cierra" + near());
            take();
            return inner;
        }
        auto n = std::make_shared<Node>();
        n->kind = Node::Kind::Compare;
        // column op literal, or literal op column (turned around).
        if (peek().kind == Tok::Word && !isReserved(upperAscii(peek().text))) {
            n->column = take().text;
            n->op = op();
            n->literal = literal();
        } else if (peek().kind == Tok::Number || peek().kind == Tok::Text || atWord("NULL")) {
            n->literal = literal();
            n->op = mirrored(op());
            n->column = name("un nombre de campo");
        } else {
            refuseStatement(text_, "se esperaba una comparación" + near());
        }
        return n;
    }

    Op op() {
        if (peek().kind != Tok::Op)
            refuseStatement(text_, "se esperaba un operador de comparación (= <> < > <= >=)" + near());
        const std::string& o = peek().text;
        take();
        if (o == "=")
            return Op::Eq;
        if (o == "<>")
            return Op::Ne;
        if (o == "<")
            return Op::Lt;
        if (o == ">")
            return Op::Gt;
        if (o == "<=")
            return Op::Le;
        return Op::Ge;
    }

    static Op mirrored(Op o) {
        switch (o) {
        case Op::Lt: return Op::Gt;
        case Op::Gt: return Op::Lt;
        case Op::Le: return Op::Ge;
        case Op::Ge: return Op::Le;
        default: return o;
        }
    }

    Value literal() {
        const Token& t = peek();
        if (t.kind == Tok::Number) {
            auto v = numberInText(t.text);
            if (!v)
                refuseStatement(text_, "número mal escrito" + near());
            take();
            return Value(*v);
        }
        if (t.kind == Tok::Text) {
            std::string s(withoutTrailingBlanks(t.text));
            take();
            return Value(std::move(s));
        }
        if (atWord("NULL")) {
            take();
            return Value();
        }
        refuseStatement(text_, "se esperaba un número, un texto entre comillas o Null" + near());
    }

private:
    std::string_view text_;
    std::vector<Token> toks_;
    std::size_t pos_ = 0;
};

}  // namespace

Statement Statement::parse(std::string_view text) {
    Statement st;
    st.text_ = std::string(text);
    Parser p(text, tokenize(text));

    p.expectWord("SELECT");
    if (p.peek().kind == Tok::Star) {
        p.take();
    } else {
        st.projection_.push_back(p.name("* o un nombre de campo"));
        while (p.peek().kind == Tok::Comma) {
            p.take();
            st.projection_.push_back(p.name("un nombre de campo"));
        }
    }
    p.expectWord("FROM");
    st.table_ = p.name("el nombre de una tabla");
    if (p.atWord("WHERE")) {
        p.take();
        st.where_ = p.orExpr();
    }
    if (p.atWord("ORDER")) {
        p.take();
        p.expectWord("BY");
        do {
            if (p.peek().kind == Tok::Comma)
                p.take();
            st.orderBy_.push_back(p.name("un nombre de campo"));
            bool desc = false;
            if (p.atWord("ASC")) {
                p.take();
            } else if (p.atWord("DESC")) {
                p.take();
                desc = true;
            }
            st.orderDesc_.push_back(desc);
        } while (p.peek().kind == Tok::Comma);
    }
    if (p.peek().kind != Tok::End)
        refuseStatement(text, "sobra texto" + p.near());
    return st;
}

bool isStatement(std::string_view recordSource) {
    std::size_t i = 0;
    while (i < recordSource.size() && isSpace(recordSource[i]))
        ++i;
    recordSource.remove_prefix(i);
    if (recordSource.size() < 6 || upperAscii(recordSource.substr(0, 6)) != "SELECT")
        return false;
    if (recordSource.size() == 6)
        return true;
    const char next = recordSource[6];
    return isSpace(next) || next == '*' || next == '(';
}

}  // namespace store
