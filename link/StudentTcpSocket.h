#ifndef STUDENTTCPSOCKET_H
#define STUDENTTCPSOCKET_H

#include <QByteArray>
#include <QTcpSocket>

// Teacher data socket: writes "word@<byte length>_arguments" frames.
class StudentTcpSocket : public QTcpSocket
{
    Q_OBJECT
public:
    explicit StudentTcpSocket(QObject *parent = nullptr);
    ~StudentTcpSocket() override;

    // Inserts the byte length of the text after the first "@"; a message without "@"
    // goes out unchanged. Returns what QIODevice::write reports.
    int writeFramed(const QByteArray &message);

    static QByteArray frame(const QByteArray &message);
};

#endif // STUDENTTCPSOCKET_H
