#include "expr/SymbolTable.h"

#include <cstring>

SymbolEntry& SymbolTable::findOrInsert(const char* name)
{
    SymbolEntry** link = &root_;
    while (*link != nullptr) {
        const int order = std::strcmp(name, (*link)->name.c_str());
        if (order == 0)
            return **link;
        link = order < 0 ? &(*link)->left : &(*link)->right;
    }
    SymbolEntry& entry = pool_.emplace_back();
    entry.name = name;
    *link = &entry;
    return entry;
}

SymbolEntry* SymbolTable::find(const char* name) const
{
    SymbolEntry* entry = root_;
    while (entry != nullptr) {
        const int order = std::strcmp(name, entry->name.c_str());
        if (order == 0)
            return entry;
        entry = order < 0 ? entry->left : entry->right;
    }
    return nullptr;
}

void SymbolTable::setValue(const char* name, double value)
{
    if (SymbolEntry* entry = find(name))
        entry->value = value;
}
