#pragma once
#include <memory>
#include <string>

#include "expr/ExprLexer.h"
#include "expr/ExprNode.h"
#include "expr/Program.h"

// Recursive-descent parser of f(x,y) into a tree, which compiles to the
// program that evaluates it.
class ExprParser {
public:
    ExprParser();
    ~ExprParser();
    ExprParser(const ExprParser&) = delete;
    ExprParser& operator=(const ExprParser&) = delete;

    // True when the text was read without any error.
    bool parse(const char* text);

    // The tree of the last parse as a program, the inputs taking the
    // coordinates of each point and every other variable its value now;
    // 0 everywhere when the last parse failed or there was none.
    Program compile(const Program::Inputs& inputs = {}) const;

    // The variables of the last parse; null before the first.
    SymbolTable* symbols();

    // The tokenizer's line for the first error of the last parse, empty
    // when it parsed.
    std::string diagnostic() const;

    // Nesting deeper than this is a syntax error, so that no text can
    // exhaust the stack.
    static constexpr int maxDepth = 200;
    // More nodes than this is a syntax error: it bounds the depth of
    // the tree that compiling and release recurse through.
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
    bool parsed_ = false;
    int depth_ = 0;
    int nodes_ = 0;
};
