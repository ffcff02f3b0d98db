#!/usr/bin/python3
"""pymodbus_line.py tcp|modbus-tcp UNITS: sensors served by Debian's python3-pymodbus, a Modbus implementation
not ours, with factory values and the unit address as location id at each unit of UNITS ("1,2"), on a loopback
TCP port as a serial device server in RTU ("tcp") or a Modbus TCP gateway ("modbus-tcp"), whose URL is the first line.
"""
import asyncio
import sys

from pymodbus.datastore import ModbusServerContext, ModbusSlaveContext, ModbusSparseDataBlock
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.framer.socket_framer import ModbusSocketFramer
from pymodbus.server.async_io import ModbusTcpServer


def sensor(location):
    holding = {0: 4660, 1: 105, 2: 0, 3: location, 4: 800, 5: 1200, 6: 10, 7: 20, 8: 0, 9: 0, 10: 0,
               0x100: 215, 0x101: 484, 0x102: 786, 0x200: 0, 0x201: 0, 0x202: 0}
    coils = {i: i < 7 for i in range(8)}
    coils.update({0x100 + i: False for i in range(5)})
    return ModbusSlaveContext(hr=ModbusSparseDataBlock(holding), co=ModbusSparseDataBlock(coils), zero_mode=True)


async def serve_tcp(context, scheme):
    framer = ModbusSocketFramer if scheme == "modbus-tcp" else ModbusRtuFramer
    server = ModbusTcpServer(context, framer, address=("127.0.0.1", 0), ignore_missing_slaves=True)
    serving = asyncio.ensure_future(server.serve_forever())
    await server.serving
    print(f"{scheme}://127.0.0.1:{server.server.sockets[0].getsockname()[1]}", flush=True)
    await serving


def main():
    scheme, units = sys.argv[1], [int(u) for u in sys.argv[2].split(",")]
    context = ModbusServerContext(slaves={u: sensor(u) for u in units}, single=False)
    asyncio.run(serve_tcp(context, scheme))


if __name__ == "__main__":
    main()
