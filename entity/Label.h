#pragma once

#include "../foundation/Export.h"

#include "../foundation/CString.h"
#include "../foundation/IString.h"
#include "Entity.h"

namespace tnUI {

/// Unicode display text. A Label never changes once made; labels are shared
/// by counted references and die only by the release of their last one
/// (unref deletes through the virtual destructor), so the destructors of the
/// label classes are protected.
///
/// Besides the IString and CString forms there is a const char* form, so that
/// a literal is not ambiguous between the two; 8-bit text is read in the
/// multibyte encoding (tnString::Multibyte) and a null const char* raises
/// NullError.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class TNUI_EXPORT Label : public Entity {
public:
    Label() = default;
    /// A label showing text.
    explicit Label(const tnString::IString& text);
    /// A label showing text, read as UTF-8.
    explicit Label(const tnString::CString& text);
    /// A label showing text, read as UTF-8.
    explicit Label(const char* text);
    /// A copy of other's text. Null raises NullError.
    explicit Label(const Label* other);

    /// Whether it is empty.
    bool isEmpty() const noexcept { return m_text.isEmpty(); }
    /// The text as wide characters.
    const wchar_t* asWChar() const noexcept { return m_text.asWChar(); }
    /// The text in the multibyte encoding.
    tnString::CString asMultibyte() const { return m_text.asMultibyte(); }
    /// The text in UTF-8.
    tnString::CString asUTF8() const { return m_text.asUTF8(); }
    /// The text.
    const tnString::IString& asString() const noexcept { return m_text; }

    /// Equal contents.
    bool operator==(const tnString::IString& text) const noexcept;
    /// Different contents.
    bool operator!=(const tnString::IString& text) const noexcept;
    /// Orders by contents.
    bool operator<(const tnString::IString& text) const noexcept;
    /// Equal contents.
    bool operator==(const wchar_t* text) const;

    /// False for a label that never sends a message (this class, HelpRef):
    /// entities holding it need not listen to it. A derived class whose text
    /// changes answers true.
    virtual bool canChange() const noexcept { return false; }

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    ~Label() override = default;

    /// The text shown.
    tnString::IString m_text;
};

/// A label whose text may change; every change is announced as "Label", which
/// the labeled entities holding it pass on as "Forward".
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class TNUI_EXPORT MutableLabel : public Label {
public:
    MutableLabel() = default;
    /// A label showing other's text; null: empty.
    explicit MutableLabel(const Label* other);
    /// A label showing text.
    explicit MutableLabel(const tnString::IString& text);
    /// A label showing text, read as UTF-8.
    explicit MutableLabel(const tnString::CString& text);
    /// A label showing text, read as UTF-8.
    explicit MutableLabel(const char* text);

    /// Store the text and send "Label" when it differs from the current text
    /// (8-bit text is converted before the comparison).
    void set(const tnString::IString& text);
    /// See set(const tnString::IString&).
    void set(const tnString::CString& text);
    /// See set(const tnString::IString&).
    void set(const char* text);
    /// Takes other's text. Null raises NullError.
    void set(const Label* other);
    /// Clears a non-empty text and sends "Label".
    void erase();

    /// Inline, as its destructor: the class keeps no key function, so hosts
    /// emit its virtual table themselves.
    bool canChange() const noexcept override { return true; }

protected:
    ~MutableLabel() override = default;
};

/// A help reference: the text names the help topic.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class TNUI_EXPORT HelpRef : public Label {
public:
    /// A help reference to text.
    explicit HelpRef(const tnString::IString& text);

protected:
    ~HelpRef() override = default;
};

/// True when both texts are equal. A null argument raises NullError.
TNUI_EXPORT bool equivalent(const Label* a, const Label* b);

} // namespace tnUI
