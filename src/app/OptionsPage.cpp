#include "app/OptionsPage.h"

COptionsPage::COptionsPage(QWidget* parent) : QWidget(parent) {}
