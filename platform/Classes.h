#pragma once

#include "AnsiString.h"
#include "Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject();
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

class TFormReader;

// A component has a name and an owner; the owner frees the components it owns
// when it is destroyed, the last created first.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }

    // Takes ownership of a component created for this owner.
    void InsertComponent(std::unique_ptr<TComponent> component);
    TComponent* FindComponent(const std::string& name) const;

    // Takes one property of the form description; false when the class has
    // no property of that name.
    virtual bool ReadProperty(const std::string& name, const std::string& value, TFormReader& reader);
    // Places the component in its parent of the form description (a control in
    // its control, a menu item in its menu); false when it cannot go there.
    virtual bool SetParentComponent(TComponent* parent);
    // Called once every property of the component has been read.
    virtual void Loaded() {}

protected:
    void DestroyComponents();

private:
    TComponent* owner_;
    std::string name_;
    std::vector<std::unique_ptr<TComponent>> components_;
};
