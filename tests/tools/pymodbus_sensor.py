#!/usr/bin/python3
"""The sensor's registers served by pymodbus, a Modbus implementation that
is not ours, on a TCP port of the loopback address: as a Modbus TCP gateway
(framing "socket") or as a serial device server passing RTU frames ("rtu").
Prints the port to name as its first line, then serves until ended.

    pymodbus_sensor.py socket|rtu UNIT
"""
import asyncio
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.framer.socket_framer import ModbusSocketFramer
from pymodbus.server.async_io import ModbusTcpServer


async def main(framing, unit):
    holding = [0] * 0x300
    # Device code, firmware, device, hardware, LED thresholds, minimum
    # response time (ms), measuring interval; then temperature, humidity, CO2.
    holding[0:8] = [4660, 105, 0, 1, 800, 1200, 10, 20]
    holding[0x100:0x103] = [220, 420, 771]
    store = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0, holding),
                               co=ModbusSequentialDataBlock(0, [0] * 0x200), zero_mode=True)
    context = ModbusServerContext(slaves={unit: store}, single=False)
    gateway = framing == "socket"
    # A gateway answers a unit it does not reach with exception 0x0B; on a
    # serial line another address is silent.
    server = ModbusTcpServer(context, ModbusSocketFramer if gateway else ModbusRtuFramer,
                             address=("127.0.0.1", 0), ignore_missing_slaves=not gateway)
    serving = asyncio.ensure_future(server.serve_forever())
    await server.serving
    port = server.server.sockets[0].getsockname()[1]
    print(f"{'modbus-tcp' if gateway else 'tcp'}://127.0.0.1:{port}", flush=True)
    await serving


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1], int(sys.argv[2])))
