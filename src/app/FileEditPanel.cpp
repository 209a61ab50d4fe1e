#include "app/FileEditPanel.h"

#include "app/AppStrings.h"
#include "app/FileStrings.h"
#include "model/ComPtr.h"
#include "model/Interfaces.h"
#include "ui/TextBytes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CFileEditPanel::CFileEditPanel(QWidget* parent)
    : CEditPanel(parent), m_fileName(new QLineEdit(this)), m_extension(new QLabel(this)),
      m_browse(new QPushButton(Tr(fids::kBrowse), this)),
      m_saveToDisk(new QPushButton(Tr(fids::kSaveFileOnDisk), this)),
      m_open(new QPushButton(Tr(fids::kOpen), this)) {
    m_fileName->setObjectName(QStringLiteral("FileNameBox"));
    m_browse->setObjectName(QStringLiteral("BrowseButton"));
    m_saveToDisk->setObjectName(QStringLiteral("SaveToDiskButton"));
    m_open->setObjectName(QStringLiteral("OpenButton"));
    auto* name = new QHBoxLayout;
    name->addWidget(m_fileName, 1);
    name->addWidget(m_browse);
    Fields()->addRow(BuddyLabel(Tr(fids::kFileNameLabel), m_fileName), name);
    Fields()->addRow(Tr(fids::kExtensionLabel), m_extension);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_open);
    buttons->addWidget(m_saveToDisk);
    buttons->addStretch(1);
    Fields()->addRow(buttons);
    Track(m_fileName);
}

std::string CFileEditPanel::FileName() const {
    return ToBytes(m_fileName->text());
}

void CFileEditPanel::SetFileName(const std::string& name) {
    m_fileName->setText(FromBytes(name));
}

void CFileEditPanel::SetExtension(const std::string& extension) {
    m_extension->setText(FromBytes(extension));
}

void CFileEditPanel::LoadType(ICommonProperties* record) {
    TComPtr<IFileProperties> file = TComPtr<ICommonProperties>(record).As<IFileProperties>();
    SetFileName(file ? file->GetFileName() : std::string());
    SetExtension(file ? file->GetExtension() : std::string());
}

bool CFileEditPanel::StoreType(ICommonProperties* record) {
    TComPtr<IFileProperties> file = TComPtr<ICommonProperties>(record).As<IFileProperties>();
    if (!file)
        return false;
    file->SetFileName(FileName());
    return true;
}
