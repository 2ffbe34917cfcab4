// An entry of the attachment list: the file's name as shown, and the path of the extracted
// file it stands for.
#pragma once

#include <QListWidgetItem>
#include <QString>

namespace parcelo {

class AttachmentItem : public QListWidgetItem {
  public:
    AttachmentItem(const QIcon& icon, const QString& name, const QString& path);

    const QString& path() const { return path_; }

    // Names sort as a file manager sorts them, without regard to letter case.
    bool operator<(const QListWidgetItem& other) const override;

  private:
    QString path_;
};

}  // namespace parcelo
