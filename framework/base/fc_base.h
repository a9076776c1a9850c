#pragma once
// Root of every framework class: a class identity that can be asked at run time.

class __FCBase {
  public:
    static constexpr char kClassName[] = "__FCBase";

    __FCBase() = default;
    __FCBase(const __FCBase&) = default;
    __FCBase& operator=(const __FCBase&) = default;

    virtual int GetClassID() const { return 0; }
    virtual const char* GetClassName() const { return kClassName; }
    virtual ~__FCBase() = default;
    // True when `other` answers with the very same class-name constant (identity, not text).
    virtual bool IsSameClass(const __FCBase* other) const {
        return other != nullptr && other->GetClassName() == GetClassName();
    }

  private:
    // Every framework object carries these two pointer-sized fields, null from construction and
    // never read by this plug-in: they belong to the framework's object layout, kept so that the
    // classes keep the framework's sizes and field order instead of a look-alike's.
    [[maybe_unused]] void* reserved0_ = nullptr;
    [[maybe_unused]] void* reserved1_ = nullptr;
};
