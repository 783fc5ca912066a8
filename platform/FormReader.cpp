#include "FormReader.h"

#include "Cp932.h"
#include "Exceptions.h"

#include <charconv>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Node {
    std::string name;
    std::string className;
    std::vector<std::pair<std::string, std::string>> properties;
    std::vector<std::unique_ptr<Node>> children;
    int line = 0;
};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw Exception(Utf8ToCp932("フォーム記述の " + std::to_string(line) + " 行目が不正です: " + what));
}

std::unique_ptr<Node> Parse(std::string_view text)
{
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    int line = 0;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        const std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++line;
        const std::string_view s = Trim(raw);
        if (s.empty() || s.front() == '#')
            continue;
        if (s.rfind("object ", 0) == 0) {
            const auto colon = s.find(':');
            if (colon == std::string_view::npos)
                Fail(line, "object without class");
            auto node = std::make_unique<Node>();
            node->name = std::string(Trim(s.substr(7, colon - 7)));
            node->className = std::string(Trim(s.substr(colon + 1)));
            node->line = line;
            Node* raw_node = node.get();
            if (open.empty()) {
                if (root)
                    Fail(line, "second outermost object");
                root = std::move(node);
            } else {
                open.back()->children.push_back(std::move(node));
            }
            open.push_back(raw_node);
        } else if (s == "end") {
            if (open.empty())
                Fail(line, "end without object");
            open.pop_back();
        } else {
            const auto eq = s.find('=');
            if (eq == std::string_view::npos || open.empty())
                Fail(line, std::string(s));
            open.back()->properties.emplace_back(std::string(Trim(s.substr(0, eq))),
                                                 std::string(Trim(s.substr(eq + 1))));
        }
    }
    if (!root || !open.empty())
        Fail(line, "unbalanced object and end");
    return root;
}

} // namespace

// The classes a form description may create; defined with the classes.
std::unique_ptr<TComponent> CreateComponentOfClass(const std::string& className, TComponent* owner);

TFormReader::TFormReader(TComponent& root, const TMethodTable& methods) : root_(root), methods_(methods) {}

void TFormReader::Read(std::string_view description)
{
    const std::unique_ptr<Node> tree = Parse(description);
    const std::function<void(const Node&, TComponent&)> apply = [&](const Node& node, TComponent& c) {
        for (const auto& child : node.children) {
            line_ = child->line;
            std::unique_ptr<TComponent> created = CreateComponentOfClass(child->className, &root_);
            if (!created)
                Fail(child->line, "unknown class " + child->className);
            TComponent& ref = *created;
            ref.SetName(child->name);
            root_.InsertComponent(std::move(created));
            if (!ref.SetParentComponent(&c))
                Fail(child->line, child->name + " cannot be placed in " + c.Name());
            apply(*child, ref);
        }
        for (const auto& [name, value] : node.properties) {
            line_ = node.line;
            if (!c.ReadProperty(name, value, *this))
                Fail(node.line, node.name + "." + name);
        }
        c.Loaded();
    };
    root_.SetName(tree->name);
    apply(*tree, root_);
}

int TFormReader::Int(const std::string& value) const
{
    int result = 0;
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, result);
    if (ec != std::errc() || ptr != end)
        Fail(line_, "not a number: " + value);
    return result;
}

bool TFormReader::Bool(const std::string& value) const
{
    if (value == "True")
        return true;
    if (value == "False")
        return false;
    Fail(line_, "not True or False: " + value);
}

AnsiString TFormReader::Text(const std::string& value) const
{
    if (value.size() < 2 || value.front() != '\'' || value.back() != '\'')
        Fail(line_, "not a quoted text: " + value);
    std::string utf8;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        utf8.push_back(value[i]);
        if (value[i] == '\'' && i + 2 < value.size() && value[i + 1] == '\'')
            ++i;
    }
    return Utf8ToCp932(utf8);
}

TColor TFormReader::Color(const std::string& value) const
{
    if (value == "clWhite")
        return clWhite;
    if (value == "clBlack")
        return clBlack;
    if (value == "clSilver")
        return clSilver;
    if (value == "clWindowText")
        return clWindowText;
    return static_cast<TColor>(Int(value));
}

bool TFormReader::HasFlag(const std::string& set, const std::string& flag) const
{
    if (set.size() < 2 || set.front() != '[' || set.back() != ']')
        Fail(line_, "not a set: " + set);
    std::string_view items(set.data() + 1, set.size() - 2);
    while (!items.empty()) {
        const auto comma = items.find(',');
        if (Trim(items.substr(0, comma)) == flag)
            return true;
        items.remove_prefix(comma == std::string_view::npos ? items.size() : comma + 1);
    }
    return false;
}

TNotifyEvent TFormReader::NotifyMethod(const std::string& name) const
{
    const auto it = methods_.find(name);
    if (it == methods_.end() || !std::holds_alternative<TNotifyEvent>(it->second))
        Fail(line_, "no handler " + name);
    return std::get<TNotifyEvent>(it->second);
}

TMouseMoveEvent TFormReader::MouseMoveMethod(const std::string& name) const
{
    const auto it = methods_.find(name);
    if (it == methods_.end() || !std::holds_alternative<TMouseMoveEvent>(it->second))
        Fail(line_, "no handler " + name);
    return std::get<TMouseMoveEvent>(it->second);
}

TComponent* TFormReader::Component(const std::string& name) const
{
    TComponent* c = root_.FindComponent(name);
    if (!c)
        Fail(line_, "no component " + name);
    return c;
}
