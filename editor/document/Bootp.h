// CBootp: the editor's host of the address server (BOOTP for node addresses, TFTP for
// node images), started and stopped by the main frame's command with the [Bootp]
// settings. While node status runs, the server learns the members it knows so far and
// publishes its role in the editor's status record. User-interface thread only.
#pragma once

#include <memory>

class CAddressServer;

class CBootp {
public:
    // The singleton, made on first use; DeleteInstance (application exit) stops the
    // server and deletes it.
    static CBootp* GetInstance();
    static void DeleteInstance();

    CBootp() = default;
    // Stops a running server.
    virtual ~CBootp();
    CBootp(const CBootp&) = delete;
    CBootp& operator=(const CBootp&) = delete;

    // Starts the server (primary unless another answers); reports "bootp server
    // started." or the failure (20013). A running server stays as it is: true.
    bool Start();
    // Stops it and reports "bootp server stopped."; nothing when it does not run.
    void Stop();
    bool IsRunning() const { return server_ != nullptr; }

private:
    std::unique_ptr<CAddressServer> server_;
};
