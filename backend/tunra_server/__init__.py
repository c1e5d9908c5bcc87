"""Reference back end of the TUNRA VPN client: wire codec, fixtures, script
handlers, request recorder, fault switches and a small threaded HTTP server."""
