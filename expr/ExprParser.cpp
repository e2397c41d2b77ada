#include "expr/ExprParser.h"

#include "expr/Builtins.h"

ExprParser::ExprParser() = default;

// The tree reads the lexer's entries, so it goes first.
ExprParser::~ExprParser()
{
    tree_.reset();
    lexer_.reset();
}

bool ExprParser::parse(const char* text)
{
    parsed_ = false;
    tree_.reset();
    lexer_ = std::make_unique<ExprLexer>(text);
    depth_ = 0;
    nodes_ = 0;
    tree_ = parseExpression();
    if (lexer_->kind() != TokenKind::End)
        lexer_->recordError("Unexpected character");
    parsed_ = lexer_->ok();
    return parsed_;
}

Program ExprParser::compile(const Program::Inputs& inputs) const
{
    Program program;
    if (parsed_)
        program.finish(tree_->compile(program, inputs, 0));
    return program;
}

SymbolTable* ExprParser::symbols()
{
    return lexer_ ? &lexer_->symbols() : nullptr;
}

std::string ExprParser::diagnostic() const
{
    return lexer_ ? lexer_->diagnostic() : std::string();
}

bool ExprParser::accept(TokenKind kind)
{
    if (lexer_->kind() != kind)
        return false;
    lexer_->advance();
    return true;
}

bool ExprParser::countNode()
{
    if (++nodes_ <= maxNodes)
        return true;
    lexer_->recordError("Syntax error");
    return false;
}

NodePtr ExprParser::makeBinary(TokenKind op, NodePtr left, NodePtr right)
{
    if (!countNode())
        return nullptr;
    return std::make_unique<BinaryNode>(op, std::move(left), std::move(right));
}

// expression = ["-"] term {("+" | "-") term}
NodePtr ExprParser::parseExpression()
{
    if (depth_ >= maxDepth) {
        lexer_->recordError("Syntax error");
        return nullptr;
    }
    ++depth_;
    NodePtr tree;
    if (accept(TokenKind::Minus)) {
        NodePtr zero = countNode() ? std::make_unique<NumberNode>(0.0) : nullptr;
        tree = makeBinary(TokenKind::Minus, std::move(zero), parseTerm());
    } else {
        tree = parseTerm();
    }
    while (lexer_->kind() == TokenKind::Plus || lexer_->kind() == TokenKind::Minus) {
        const TokenKind op = lexer_->kind();
        lexer_->advance();
        NodePtr right = parseTerm();
        tree = makeBinary(op, std::move(tree), std::move(right));
    }
    --depth_;
    return tree;
}

// term = factor {("*" | "/") factor}
NodePtr ExprParser::parseTerm()
{
    NodePtr tree = parseFactor();
    while (lexer_->kind() == TokenKind::Star || lexer_->kind() == TokenKind::Slash) {
        const TokenKind op = lexer_->kind();
        lexer_->advance();
        NodePtr right = parseFactor();
        tree = makeBinary(op, std::move(tree), std::move(right));
    }
    return tree;
}

// factor = primary ["^" primary]
NodePtr ExprParser::parseFactor()
{
    NodePtr base = parsePrimary();
    if (!accept(TokenKind::Caret))
        return base;
    NodePtr exponent = parsePrimary();
    return makeBinary(TokenKind::Caret, std::move(base), std::move(exponent));
}

// primary = number | name | name "(" expression ")" | "(" expression ")"
//         | "|" expression "|"
NodePtr ExprParser::parsePrimary()
{
    switch (lexer_->kind()) {
    case TokenKind::Number: {
        const double value = lexer_->numberValue();
        lexer_->advance();
        return countNode() ? std::make_unique<NumberNode>(value) : nullptr;
    }
    case TokenKind::Name:
        return parseName();
    case TokenKind::LeftParen: {
        lexer_->advance();
        NodePtr inner = parseExpression();
        expectRightParen();
        return inner;
    }
    case TokenKind::Bar:
        return parseBars();
    default:
        lexer_->recordError("Syntax error");
        return nullptr;
    }
}

NodePtr ExprParser::parseName()
{
    SymbolEntry* entry = lexer_->nameEntry();
    lexer_->advance();
    if (!accept(TokenKind::LeftParen))
        return countNode() ? std::make_unique<VariableNode>(entry) : nullptr;
    NodePtr argument = parseExpression();
    const Builtin* function = findBuiltin(entry->name.c_str());
    if (function == nullptr)
        lexer_->recordError("Undefined function");
    NodePtr call = countNode() ? std::make_unique<CallNode>(function, std::move(argument)) : nullptr;
    expectRightParen();
    return call;
}

NodePtr ExprParser::parseBars()
{
    lexer_->advance();
    NodePtr inner = parseExpression();
    NodePtr call = countNode() ? std::make_unique<CallNode>(findBuiltin("fabs"), std::move(inner)) : nullptr;
    if (!accept(TokenKind::Bar))
        lexer_->recordError("'|' expected");
    return call;
}

void ExprParser::expectRightParen()
{
    if (!accept(TokenKind::RightParen))
        lexer_->recordError("')' expected");
}
