#pragma once
#include <memory>
#include <string>

#include "expr/Error.h"
#include "expr/ExprLexer.h"
#include "expr/ExprNode.h"
#include "expr/Program.h"

// Recursive-descent parser of f(x,y) and evaluator of its tree.
class ExprParser {
public:
    ExprParser();
    ~ExprParser();
    ExprParser(const ExprParser&) = delete;
    ExprParser& operator=(const ExprParser&) = delete;

    // True when the text was read without any error.
    bool parse(const char* text);

    // The value of the tree, or 0 when evaluation threw an Error. Only
    // after a successful parse.
    double evaluateSafely();
    // The same value by a walk of the tree; for checking the flat form.
    double evaluateTreeSafely();

    // The variables of the last parse; null before the first.
    SymbolTable* symbols();
    // The flattened tree of the last successful parse; empty otherwise.
    const Program& program() const { return program_; }

    // The tokenizer's line for the first error of the last parse, empty
    // when it parsed; and the report of the last caught Error.
    std::string diagnostic() const;
    const char* lastReport() const { return lastReport_.data(); }

    // Nesting deeper than this is a syntax error, so that no text can
    // exhaust the stack.
    static constexpr int maxDepth = 200;
    // More nodes than this is a syntax error: it bounds the depth of
    // the tree that evaluation and release recurse through.
    static constexpr int maxNodes = 5000;

private:
    NodePtr parseExpression();
    NodePtr parseTerm();
    NodePtr parseFactor();
    NodePtr parsePrimary();
    NodePtr parseName();
    NodePtr parseBars();
    void expectRightParen();
    bool accept(TokenKind kind);
    NodePtr makeBinary(TokenKind op, NodePtr left, NodePtr right);
    bool countNode();

    std::unique_ptr<ExprLexer> lexer_;
    NodePtr tree_;
    // The tree of a successful parse, flattened for evaluation.
    Program program_;
    int depth_ = 0;
    int nodes_ = 0;
    Error::Report lastReport_{};
};

inline double ExprParser::evaluateSafely()
{
    try {
        return program_.run();
    } catch (const Error& error) {
        lastReport_ = error.report();
        return 0.0;
    }
}
