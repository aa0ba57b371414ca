#pragma once
// Root of the framework's class tree.

#include "framework/Types.h"

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class name without namespace, as the most derived class declares it.
    String ClassName() const;

    template <class T>
    bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

class TPersistent : public TObject {
public:
    // Copies Source into this object. The base accepts only a null source's
    // refusal: a class that cannot take Source raises EConvertError.
    virtual void Assign(const TPersistent* Source);

protected:
    // Called by Assign when this object cannot copy Source; lets Source copy
    // itself into this object (the reverse direction) before giving up.
    virtual void AssignTo(TPersistent* Dest) const;
};
