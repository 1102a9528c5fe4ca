#pragma once
// The About box: program icon, name, version and the maker's web links.
#include <QDialog>

class CHyperLink;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    CHyperLink* HomePageLink() const { return m_homePage; }
    CHyperLink* SupportLink() const { return m_support; }

private:
    CHyperLink* m_homePage;
    CHyperLink* m_support;
};
