// The component tree of a window: every control and non-visual component has a name and an owner. The owner
// (a form, or the application for forms) destroys what it owns, last created first. Visual nesting (Parent) is
// a separate relation kept by TControl.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int i) const { return components_.at(static_cast<std::size_t>(i)); }
    // Owned component by name, without regard to case; nullptr when absent.
    TComponent* FindComponent(const std::string& name) const;

    // Called by the loader once every property of the description is set (references resolved).
    virtual void Loaded() {}

    // Destroys an owned component now (it leaves the owner's list).
    void DestroyComponent(TComponent* c);

protected:
    // Destroys every owned component, last created first (a control does it before its widget goes).
    void DestroyComponents();

private:
    void Insert(TComponent* c) { components_.push_back(c); }
    void Remove(TComponent* c);

    std::string name_;
    TComponent* owner_;
    std::vector<TComponent*> components_;  // owned, in creation order
};

// Case-insensitive comparison of ASCII names (component, property and class names).
bool SameName(const std::string& a, const std::string& b);

// A component that holds an object of another layer (the engine's TTable, TQuery ...), so that a window
// description can declare it. The object lives as long as the component.
template <class T>
class TWrapped : public TComponent {
public:
    explicit TWrapped(TComponent* owner) : TComponent(owner), object_(std::make_unique<T>()) {}
    T* Object() const { return object_.get(); }

private:
    std::unique_ptr<T> object_;
};
