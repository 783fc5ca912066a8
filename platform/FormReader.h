#pragma once

#include "Classes.h"

#include <map>
#include <string>
#include <string_view>
#include <variant>

// The handlers a form offers to its description, by name.
using TMethod = std::variant<TNotifyEvent, TMouseMoveEvent>;
using TMethodTable = std::map<std::string, TMethod>;

// Reads a form description: nested "object Name: TClass" ... "end" blocks
// with one "Property = value" per line. The outermost object is the form
// itself; every nested object is created, owned by the form, placed in its
// parent and given its properties. Texts are UTF-8 in the description and
// code page 932 once read.
class TFormReader {
public:
    TFormReader(TComponent& root, const TMethodTable& methods);
    void Read(std::string_view description);

    // Value conversions for ReadProperty implementations; each throws on a
    // value of the wrong form.
    int Int(const std::string& value) const;
    bool Bool(const std::string& value) const;
    AnsiString Text(const std::string& value) const;
    TColor Color(const std::string& value) const;
    bool HasFlag(const std::string& set, const std::string& flag) const;

    TNotifyEvent NotifyMethod(const std::string& name) const;
    TMouseMoveEvent MouseMoveMethod(const std::string& name) const;
    TComponent* Component(const std::string& name) const;

private:
    TComponent& root_;
    const TMethodTable& methods_;
    int line_ = 0;
};
