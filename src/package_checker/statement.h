// The checker's statements as data: a code from the catalogue and the values
// its sentences need. Judging makes them; the text report and the JSON
// report render the same records.
#pragma once

#include <string>
#include <vector>

#include "package_checker/bilingual.h"
#include "package_checker/finding_code.h"

enum class Language { Chinese, English };

struct Statement;

// A value a sentence needs, named as its placeholder "{Name}" is.
struct Value {
    enum class Kind {
        Text,       // the same in both languages: a path, a key, a count
        List,       // names, joined as each language joins them
        Localized,  // a text of its own in each language (a language's name)
        Phrase,     // another coded statement, rendered in the same language
        Phrases,    // coded statements, each rendered and put one after another
        Box,        // a message box's text (code page 936, lines split by CR LF), shown below the statement
    };
    std::string Name;
    Kind Type = Kind::Text;
    std::string Text;
    std::vector<std::string> Items;
    Bilingual Both;
    std::vector<Statement> Parts;
};

struct Statement {
    FindingCode Code = FindingCode::RunEndsSilently;
    std::vector<Value> Values;
};

Value TextValue(const char* name, std::string text);
Value ListValue(const char* name, std::vector<std::string> items);
Value LocalizedValue(const char* name, Bilingual text);
Value PhraseValue(const char* name, Statement phrase);
Value PhrasesValue(const char* name, std::vector<Statement> phrases);
Value BoxValue(const char* name, std::string outcomeText);

// A box's lines as they read, UTF-8.
std::vector<std::string> BoxLinesOf(const Value& box);

// The statement's sentence in the language, its placeholders filled; a box
// is left out (the report shows it below).
std::string Render(const Statement& statement, Language language);

// An outcome as the report's last line, in English.
std::string RenderLastLine(const Statement& outcome);

// The statement in both languages.
Bilingual RenderBoth(const Statement& statement);

// The box a statement carries, if any: its text, UTF-8.
const Value* BoxOf(const Statement& statement);
