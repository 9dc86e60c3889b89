#!/usr/bin/python3
"""Sends one BOOTP request built with scapy and prints what the answer holds.

usage: bootp_client.py IFACE CHADDR FILE [CIADDR]
prints "yiaddr=A siaddr=S file=F mask=M router=R", or "none" when nothing answered
within three seconds.
"""
import sys

from scapy.all import BOOTP, IP, UDP, Ether, conf, get_if_hwaddr, srp1


def options(vendor):
    """Subnet mask (1) and router (3) from the vendor area after the magic cookie."""
    found, at = {}, 4
    while at < len(vendor) and vendor[at] != 255:
        code = vendor[at]
        if code == 0:
            at += 1
            continue
        length = vendor[at + 1]
        found[code] = vendor[at + 2:at + 2 + length]
        at += 2 + length
    return found


def dotted(raw):
    return ".".join(str(b) for b in raw) if raw else "-"


def main():
    iface, chaddr, boot_file = sys.argv[1], sys.argv[2], sys.argv[3]
    ciaddr = sys.argv[4] if len(sys.argv) > 4 else "0.0.0.0"
    conf.checkIPaddr = False
    mac = bytes(int(part, 16) for part in chaddr.split(":"))
    vendor = b"\x63\x82\x53\x63\xff".ljust(64, b"\x00")
    request = (Ether(src=get_if_hwaddr(iface), dst="ff:ff:ff:ff:ff:ff")
               / IP(src="0.0.0.0", dst="255.255.255.255")
               / UDP(sport=68, dport=67)
               / BOOTP(op=1, htype=1, hlen=6, xid=0x1C2B3A49, ciaddr=ciaddr,
                       chaddr=mac + b"\x00" * 10, file=boot_file.encode(), options=vendor))
    assert len(request[BOOTP]) == 300
    answer = srp1(request, iface=iface, timeout=3, verbose=0)
    if answer is None or BOOTP not in answer:
        print("none")
        return
    reply = answer[BOOTP]
    # The vendor area as it came (scapy moves what follows the cookie into a DHCP layer).
    found = options(bytes(reply)[236:])
    print("yiaddr=%s siaddr=%s file=%s mask=%s router=%s" % (
        reply.yiaddr, reply.siaddr, reply.file.rstrip(b"\x00").decode(),
        dotted(found.get(1)), dotted(found.get(3))))


if __name__ == "__main__":
    main()
