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
    [[maybe_unused]] void* reserved0_ = nullptr;
    [[maybe_unused]] void* reserved1_ = nullptr;
};
