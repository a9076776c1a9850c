#pragma once
// Message boxes owned by the host's window: the plug-in's only way to talk to the user.
#include <cstdint>

#include "framework/base/fc_base.h"
#include "framework/text/fc_string.h"
#include "platform/platform.h"

class FCUI : public __FCBase {
  public:
    static constexpr char kClassName[] = "FCUI";
    // Answers of AlertYesNo.
    static constexpr int ANSWER_YES = 2;
    static constexpr int ANSWER_NO = 3;
    static constexpr int ANSWER_NONE = 4;

    // `parent` owns every box shown; null gives ownerless boxes.
    explicit FCUI(platform::WindowHandle parent) : parent_(parent) {}

    const char* GetClassName() const override { return kClassName; }

    platform::WindowHandle GetParentWindow() const { return parent_; }

    // Each returns once the user has closed the box. A null or empty caption shows the box's
    // default caption ("Error", "Yes/No?", "Information", "Warning"); a null message shows an
    // empty text.
    void AlertError(const FCString* message, const FCString* caption = nullptr) const;
    // ANSWER_YES, ANSWER_NO, or ANSWER_NONE for any other outcome (the box not shown included).
    int AlertYesNo(const FCString* message, const FCString* caption = nullptr) const;
    void AlertInfo(const FCString* message, const FCString* caption = nullptr) const;
    void AlertWarning(const FCString* message, const FCString* caption = nullptr) const;

  private:
    int32_t Show(const FCString* message, const FCString* caption, const char* defaultCaption,
                 uint32_t style) const;

    platform::WindowHandle parent_;
};
