#pragma once

#include "app/EditorFrame.h"

class CCreditCardEditPanel;
class CNoteEditPanel;
class CPasswordEditPanel;
class CUrlEditPanel;

// The four record editors: each a frame around the panel of its record type.
class CPasswordFrame : public CEditorFrame {
    Q_OBJECT

public:
    static const EDITOR_TYPE kType;
    explicit CPasswordFrame(CTxDoc& doc, QWidget* parent = nullptr);
    CPasswordEditPanel* Fields() const;
};

class CUrlFrame : public CEditorFrame {
    Q_OBJECT

public:
    static const EDITOR_TYPE kType;
    explicit CUrlFrame(CTxDoc& doc, QWidget* parent = nullptr);
    CUrlEditPanel* Fields() const;
};

class CCreditCardFrame : public CEditorFrame {
    Q_OBJECT

public:
    static const EDITOR_TYPE kType;
    explicit CCreditCardFrame(CTxDoc& doc, QWidget* parent = nullptr);
    CCreditCardEditPanel* Fields() const;
};

class CNoteFrame : public CEditorFrame {
    Q_OBJECT

public:
    static const EDITOR_TYPE kType;
    explicit CNoteFrame(CTxDoc& doc, QWidget* parent = nullptr);
    CNoteEditPanel* Fields() const;
};

// The editor frame for records of class clsid, or null for a class without one.
CEditorFrame* MakeEditorFrame(CTxDoc& doc, const CLSID& clsid, QWidget* parent = nullptr);
