#include "package_checker/statement.h"

#include "package_checker/finding_catalogue.h"
#include "package_checker/text_forms.h"

namespace {

Value Named(const char* name, Value::Kind kind)
{
    Value value;
    value.Name = name;
    value.Type = kind;
    return value;
}

std::string Joined(const std::vector<std::string>& items, Language language)
{
    const char* separator = language == Language::Chinese ? "、" : ", ";
    std::string joined;
    for (const std::string& item : items) joined += (joined.empty() ? "" : separator) + item;
    return joined;
}

std::string Shown(const Value& value, Language language)
{
    switch (value.Type) {
    case Value::Kind::Text: return value.Text;
    case Value::Kind::List: return Joined(value.Items, language);
    case Value::Kind::Localized: return language == Language::Chinese ? value.Both.Chinese : value.Both.English;
    case Value::Kind::Phrase:
    case Value::Kind::Phrases: {
        std::string text;
        for (const Statement& part : value.Parts) text += Render(part, language);
        return text;
    }
    case Value::Kind::Box: break;
    }
    return {};
}

}  // namespace

Value TextValue(const char* name, std::string text)
{
    Value value = Named(name, Value::Kind::Text);
    value.Text = std::move(text);
    return value;
}

Value ListValue(const char* name, std::vector<std::string> items)
{
    Value value = Named(name, Value::Kind::List);
    value.Items = std::move(items);
    return value;
}

Value LocalizedValue(const char* name, Bilingual text)
{
    Value value = Named(name, Value::Kind::Localized);
    value.Both = std::move(text);
    return value;
}

Value PhraseValue(const char* name, Statement phrase)
{
    Value value = Named(name, Value::Kind::Phrase);
    value.Parts.push_back(std::move(phrase));
    return value;
}

Value PhrasesValue(const char* name, std::vector<Statement> phrases)
{
    Value value = Named(name, Value::Kind::Phrases);
    value.Parts = std::move(phrases);
    return value;
}

Value BoxValue(const char* name, std::string outcomeText)
{
    Value value = Named(name, Value::Kind::Box);
    value.Text = std::move(outcomeText);
    return value;
}

std::vector<std::string> BoxLinesOf(const Value& box)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= box.Text.size()) {
        size_t end = box.Text.find("\r\n", start);
        if (end == std::string::npos) end = box.Text.size();
        lines.push_back(DecodeCodePage(ChineseCodePage, box.Text.substr(start, end - start), false).value_or(""));
        start = end + 2;
    }
    return lines;
}

namespace {

std::string Filled(const std::string& text, const Statement& statement, Language language)
{
    std::string rendered;
    size_t at = 0;
    for (;;) {
        const size_t open = text.find('{', at);
        const size_t close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) break;
        rendered += text.substr(at, open - at);
        const std::string name = text.substr(open + 1, close - open - 1);
        for (const Value& value : statement.Values) {
            if (value.Name == name) rendered += Shown(value, language);
        }
        at = close + 1;
    }
    return rendered + text.substr(at);
}

}  // namespace

std::string Render(const Statement& statement, Language language)
{
    const CatalogueRow& row = CatalogueEntry(statement.Code);
    return Filled(language == Language::Chinese ? row.Chinese : row.English, statement, language);
}

std::string RenderLastLine(const Statement& outcome)
{
    const CatalogueRow& row = CatalogueEntry(outcome.Code);
    return Filled(row.LastLine ? row.LastLine : row.English, outcome, Language::English);
}

Bilingual RenderBoth(const Statement& statement)
{
    return {Render(statement, Language::Chinese), Render(statement, Language::English)};
}

const Value* BoxOf(const Statement& statement)
{
    for (const Value& value : statement.Values) {
        if (value.Type == Value::Kind::Box) return &value;
    }
    return nullptr;
}
